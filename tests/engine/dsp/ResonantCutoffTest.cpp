#include "engine/dsp/ResonantCutoff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

using mixer::Oscillator;
using mixer::ResonantFilterBank;
using mixer::TResonantCutoff;

namespace {

constexpr std::uint32_t kEnvelope = TResonantCutoff::kEnvelopeMode;

// A started effect, one channel at 44.1 kHz, with its controls settled.
struct Rig {
    explicit Rig(std::uint32_t flags = kEnvelope, std::int32_t variant = 0,
                 std::int32_t channels = 1)
        : effect(flags, variant), channels(channels)
    {
        effect.setFormat(44100.0f, channels, channels);
        effect.start();
    }
    // Sets controls and lets their ramps arrive (a second of silence).
    void settle(std::initializer_list<std::pair<std::int32_t, std::int32_t>> controls)
    {
        for (const auto& [controller, value] : controls)
            effect.setController(controller, value);
        run(0.0f, 44100);
    }
    // frames frames of a constant, in calls of at most 64; the last call's output.
    std::vector<float> run(float value, std::int32_t frames, std::int32_t call = 64)
    {
        std::vector<float> in(static_cast<std::size_t>(call * channels), value);
        std::vector<float> out(in.size());
        for (std::int32_t done = 0; done < frames; done += call) {
            const std::int32_t n = std::min(call, frames - done);
            effect.process(out.data(), in.data(), n);
        }
        return out;
    }
    float v(std::int32_t index) const { return effect.getControl(index).current; }

    TResonantCutoff effect;
    std::int32_t channels;
};

// The gain of a z-domain biquad or first-order section at z = 1 (DC) and z = -1.
double dcGain(const AudioEngine::AudioMath::BiquadZ& k)
{
    return (k.b0 + k.b1 + k.b2) / (1.0 + k.a1 + k.a2);
}
double nyquistGain(const AudioEngine::AudioMath::BiquadZ& k)
{
    return (k.b0 - k.b1 + k.b2) / (1.0 - k.a1 + k.a2);
}
double dcGain(const AudioEngine::AudioMath::FirstOrderZ& k)
{
    return (k.b0 + k.b1) / (1.0 + k.a1);
}
double nyquistGain(const AudioEngine::AudioMath::FirstOrderZ& k)
{
    return (k.b0 - k.b1) / (1.0 - k.a1);
}

} // namespace

TEST(ResonantCutoff, ControlsMapToCutoffQDepthRateAndShape)
{
    Rig rig;
    rig.settle({{21, 0}, {22, 0}, {23, 0}});
    EXPECT_FLOAT_EQ(rig.effect.getBaseCutoff(), 40.0f);
    EXPECT_FLOAT_EQ(rig.effect.getBank().getQ(), 0.3f);
    EXPECT_EQ(rig.effect.getDepth(), 0.0f);

    rig.settle({{21, 64}, {22, 64}, {23, 64}});
    EXPECT_NEAR(rig.effect.getBaseCutoff(), 40.0 * std::exp2(4.5), 1e-3);
    EXPECT_NEAR(rig.effect.getBank().getQ(), 0.3 * std::pow(8.0, 1.2), 1e-5);
    EXPECT_FLOAT_EQ(rig.effect.getDepth(), 2.0f);

    rig.settle({{22, 127}});
    EXPECT_EQ(rig.effect.getBank().getQ(), 30.0f) << "0.3 x 8^2.38 = 42 is held at 30";

    // Rate: 120 v^2, at most 120, snapped to 60 within 1 of it.
    struct RateCase {
        std::int32_t value;
        float bpm;
    };
    for (const RateCase c :
         {RateCase{0, 0.0f}, RateCase{64, 30.0f}, RateCase{91, 60.0f}, RateCase{127, 118.13f}}) {
        rig.settle({{24, c.value}});
        EXPECT_NEAR(rig.effect.getRate(), c.bpm, 0.01f) << c.value;
    }

    // Display values, x 1000.
    EXPECT_EQ(rig.effect.getDisplayValue(23), 2000);
    EXPECT_EQ(rig.effect.getDisplayValue(25), 2000);
    EXPECT_EQ(rig.effect.getDisplayValue(26), static_cast<std::int32_t>(0x80000002u));
}

TEST(ResonantCutoff, EveryModeWordSelectsItsPolesAndResponse)
{
    // m AND 7: 1 one pole, 4 four, else two; m AND 24: 8 band-pass, 16 high-pass, else low-pass.
    Rig rig;
    rig.settle({{21, 64}, {23, 0}});
    for (std::int32_t m = 0; m < 128; ++m) {
        rig.effect.setController(25, m);
        rig.run(0.0f, 4);
        const ResonantFilterBank& bank = rig.effect.getBank();
        const std::int32_t poles = (m & 7) == 1 ? 1 : ((m & 7) == 4 ? 4 : 2);
        const std::int32_t response = (m & 24) == 8 ? 1 : ((m & 24) == 16 ? 2 : 0);
        ASSERT_EQ(bank.getPoles(), poles) << m;
        ASSERT_EQ(bank.getResponse(), response) << m;

        // The designed sections pass or stop DC and Nyquist as their response says.
        const double passDc = response == 0 ? 1.0 : 0.0;
        const double passTop = response == 2 ? 1.0 : 0.0;
        if (poles == 1) {
            const auto& k = bank.getFirstOrder().getCoefficients();
            EXPECT_NEAR(dcGain(k), response == 2 ? 0.0 : 1.0, 1e-5) << m;
            EXPECT_NEAR(nyquistGain(k), response == 2 ? 1.0 : 0.0, 1e-5) << m;
        } else {
            for (int s = 0; s < (poles == 4 ? 2 : 1); ++s) {
                const auto& k = bank.getBiquad(s).getCoefficients();
                EXPECT_NEAR(dcGain(k), passDc, 1e-4) << m << " section " << s;
                EXPECT_NEAR(nyquistGain(k), passTop, 1e-4) << m << " section " << s;
            }
        }
    }
    rig.effect.setController(25, 2);
    rig.run(0.0f, 4);
    EXPECT_EQ(rig.effect.getBank().getPoles(), 2) << "the default: two poles, low-pass";
    EXPECT_EQ(rig.effect.getBank().getResponse(), 0);
}

TEST(ResonantCutoff, RampsMove0_0002PerFrameAndModeJumps)
{
    Rig rig;
    rig.settle({{21, 0}, {25, 2}});
    rig.effect.setController(21, 127);
    rig.effect.setController(25, 16);
    rig.run(0.0f, 64);
    EXPECT_NEAR(rig.v(TResonantCutoff::kFrequency), 64 * 0.0002f, 1e-6f);
    EXPECT_EQ(rig.effect.getBank().getResponse(), ResonantFilterBank::kHighPass) << "Mode jumps";
    EXPECT_NEAR(rig.effect.getBaseCutoff(), 40.0 * std::exp2(9.0 * 64 * 0.0002), 1e-3)
        << "derived values follow";

    // A long call moves in pieces of 128 frames: 300 frames move 300 x 0.0002 in all.
    rig.run(0.0f, 300, 300);
    EXPECT_NEAR(rig.v(TResonantCutoff::kFrequency), 364 * 0.0002f, 1e-5f);

    // 127 / 128 / 0.0002 = 4961 frames from 0 to the end.
    rig.run(0.0f, 4928 - 364);
    EXPECT_LT(rig.v(TResonantCutoff::kFrequency), 127.0f / 128.0f);
    rig.run(0.0f, 64);
    EXPECT_EQ(rig.v(TResonantCutoff::kFrequency), 127.0f / 128.0f);
}

TEST(ResonantCutoff, DepthZeroLeavesTheCutoffAtItsBaseInBothModes)
{
    for (std::uint32_t flags : {kEnvelope, 0u}) {
        Rig rig(flags);
        rig.settle({{23, 0}, {24, 127}});
        for (float level : {0.0f, 0.5f, 20.0f}) {
            for (int call = 0; call < 50; ++call) {
                rig.run(level, 64);
                ASSERT_EQ(rig.effect.getBank().getCutoff(),
                          rig.effect.getBaseCutoff() * TResonantCutoff::fastPow2(0.0f))
                    << flags << " " << level;
            }
        }
        // The fast power's value at 0 sits 2.3 % below 1, inside its error band.
        EXPECT_NEAR(TResonantCutoff::fastPow2(0.0f), 1.0f, 0.025f);
    }
}

TEST(ResonantCutoff, TheModulationSweepsUpWithLevelOrDownWithTheOscillator)
{
    Rig envelope;
    envelope.settle({{21, 40}, {23, 64}});
    const float base = envelope.effect.getBaseCutoff();
    envelope.run(0.5f, 64 * 100);
    EXPECT_GT(envelope.effect.getBank().getCutoff(), 1.5f * base);

    Rig lfo(0u);
    lfo.settle({{21, 100}, {23, 64}, {24, 127}});
    float low = 1e9f, high = 0.0f;
    for (int call = 0; call < 1000; ++call) {
        lfo.run(0.0f, 64);
        low = std::min(low, lfo.effect.getBank().getCutoff());
        high = std::max(high, lfo.effect.getBank().getCutoff());
    }
    // The oscillator spans [-1, 0], so the modulation (v / 2 - 1 / 2) x depth
    // spans [-depth, -depth / 2]: one to two octaves below the base.
    const float lfoBase = lfo.effect.getBaseCutoff();
    EXPECT_NEAR(high / lfoBase, 0.5f, 0.02f);
    EXPECT_NEAR(low / lfoBase, 0.25f, 0.01f);
}

TEST(ResonantCutoff, SilenceDecaysTheFollowerByTheFeedbackPerPiece)
{
    struct Case {
        std::int32_t variant;
        float feedback;
    };
    for (const Case c : {Case{0, 0.99f}, Case{1, 0.95091975f}}) {
        Rig rig(kEnvelope, c.variant);
        rig.run(0.8f, 64 * 50);
        float previous = rig.effect.getFollower();
        ASSERT_GT(previous, 0.0f);
        for (int piece = 0; piece < 20; ++piece) {
            rig.run(0.0f, 64);
            EXPECT_EQ(rig.effect.getFollower(), c.feedback * previous) << c.variant;
            previous = rig.effect.getFollower();
        }
    }
}

TEST(ResonantCutoff, StartReappliesEveryControl)
{
    Rig rig;
    rig.settle({{22, 100}, {21, 90}});
    rig.effect.start();
    EXPECT_NEAR(rig.effect.getBank().getQ(), 0.3 * std::pow(8.0, 2.4 * 100 / 128), 1e-4)
        << "not 0.3";
    EXPECT_EQ(rig.effect.getFollower(), 0.0f);
    for (std::int32_t i = 0; i < rig.effect.getControlCount(); ++i)
        EXPECT_FALSE(rig.effect.getControl(i).changed);
    EXPECT_TRUE(rig.effect.isRunning());
    EXPECT_TRUE(rig.effect.stop());
}

TEST(ResonantCutoff, HotOrNonFiniteInputNeverGivesANonFiniteCutoffOrOutput)
{
    for (std::int32_t channels : {1, 2}) {
        for (std::int32_t mode : {2, 4, 1, 8 + 4, 16 + 2}) {
            Rig rig(kEnvelope, 0, channels);
            rig.settle({{21, 127}, {22, 127}, {23, 127}, {25, mode}});
            std::vector<float> in(static_cast<std::size_t>(64 * channels));
            std::vector<float> out(in.size());
            for (int call = 0; call < 400; ++call) {
                for (std::size_t i = 0; i < in.size(); ++i)
                    in[i] = 20.0f *
                            std::sin(0.05f * static_cast<float>(call * 64 + static_cast<int>(i)));
                if (call == 100)
                    in[3] = std::numeric_limits<float>::quiet_NaN();
                if (call == 200)
                    in[5] = std::numeric_limits<float>::infinity();
                rig.effect.process(out.data(), in.data(), 64);
                const float cutoff = rig.effect.getBank().getCutoff();
                ASSERT_TRUE(cutoff >= 40.0f && cutoff <= 40000.0f) << cutoff << " at " << call;
                for (float y : out)
                    ASSERT_TRUE(std::isfinite(y)) << "mode " << mode << " call " << call;
            }
            EXPECT_TRUE(std::isfinite(rig.effect.getFollower()));
        }
    }
}

TEST(ResonantCutoff, TheFastPowerOfTwoStaysNearExp2AndFiniteEverywhere)
{
    // Within -3.2 % .. +2.8 % over the normal range; 2^-126 itself comes out
    // as a subnormal 4.6 % low.
    for (float m = -126.0f; m <= 126.0f; m += 0.03125f) {
        const double ratio = TResonantCutoff::fastPow2(m) / std::exp2(static_cast<double>(m));
        ASSERT_NEAR(ratio, 1.0, m >= -125.0f ? 0.033 : 0.047) << m;
    }
    for (float m : {127.0f, 200.0f, 1e30f, std::numeric_limits<float>::infinity()})
        EXPECT_EQ(TResonantCutoff::fastPow2(m), TResonantCutoff::fastPow2(126.0f)) << m;
    for (float m : {-127.0f, -1e30f, -std::numeric_limits<float>::infinity()})
        EXPECT_EQ(TResonantCutoff::fastPow2(m), TResonantCutoff::fastPow2(-126.0f)) << m;
    EXPECT_EQ(TResonantCutoff::fastPow2(std::numeric_limits<float>::quiet_NaN()),
              TResonantCutoff::fastPow2(0.0f));
    EXPECT_TRUE(std::isfinite(TResonantCutoff::fastPow2(126.0f)));
    EXPECT_GT(TResonantCutoff::fastPow2(-126.0f), 0.0f);
}

TEST(ResonantCutoff, TheOscillatorStepsOncePerPieceAtTheTempo)
{
    Rig rig(0u);
    rig.settle({{24, 91}}); // 60 per minute: one cycle per beat
    EXPECT_EQ(rig.effect.getTempo(), 120.0f);
    // 120 / 60 x 60 / 60 x 128 / 44100: two cycles a second in 128-sample steps.
    EXPECT_FLOAT_EQ(rig.effect.getOscillator().getIncrement(), 2.0f * 128.0f / 44100.0f);
    rig.effect.setTempo(90.0f);
    EXPECT_FLOAT_EQ(rig.effect.getOscillator().getIncrement(), 1.5f * 128.0f / 44100.0f);
    rig.effect.setTempo(std::numeric_limits<float>::quiet_NaN());
    rig.effect.setTempo(-5.0f);
    EXPECT_EQ(rig.effect.getTempo(), 90.0f);
}

TEST(Oscillator, ShapesFollowTheirFormulas)
{
    struct Case {
        std::int32_t shape;
        std::vector<float> values; // at increment 0.25, from reset
    };
    const Case cases[] = {
        {Oscillator::kTriangle, {0.0f, -0.5f, -1.0f, -0.5f, 0.0f}},
        {Oscillator::kSquare, {-1.0f, -1.0f, 0.0f, 0.0f, -1.0f}},
        {Oscillator::kSaw, {-1.0f, -0.75f, -0.5f, -0.25f, -1.0f}},
        {Oscillator::kSine, {-0.5f, 0.0f, -0.5f, -1.0f, -0.5f}},
    };
    for (const Case& c : cases) {
        Oscillator oscillator;
        oscillator.setFormat(100.0f, 25);
        oscillator.setFrequency(c.shape, 0, 1.0f); // 1 Hz x 25 / 100: a quarter cycle per step
        EXPECT_FLOAT_EQ(oscillator.getIncrement(), 0.25f);
        oscillator.reset();
        for (float expected : c.values)
            EXPECT_NEAR(oscillator.step(), expected, 2e-3f) << "shape " << c.shape;
    }

    Oscillator bipolar;
    bipolar.setFormat(100.0f, 25);
    bipolar.setFrequency(Oscillator::kSaw, Oscillator::kBipolar, 1.0f);
    bipolar.reset();
    EXPECT_FLOAT_EQ(bipolar.step(), -1.0f);
    EXPECT_FLOAT_EQ(bipolar.step(), -0.5f);

    Oscillator random;
    random.setFormat(100.0f, 25);
    random.setFrequency(Oscillator::kRandom, 0, 1.0f);
    random.reset();
    std::vector<float> values;
    for (int i = 0; i < 40; ++i) {
        const float v = random.step();
        ASSERT_TRUE(v >= -1.0f && v < 0.0f) << v;
        values.push_back(v);
    }
    EXPECT_EQ(values[4], values[7]) << "held for a period";
    EXPECT_NE(values[4], values[8]) << "a new value each period";
}
