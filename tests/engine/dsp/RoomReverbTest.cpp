#include "engine/dsp/RoomReverb.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

using mixer::RoomReverbCX2;
using mixer::TRoomReverb;

namespace {

// Runs interleaved input through the effect in calls of at most 64 frames.
std::vector<float> run(TRoomReverb& reverb, const std::vector<float>& in)
{
    const std::int32_t ci = reverb.getInputChannels();
    const std::int32_t co = reverb.getOutputChannels();
    const auto frames = static_cast<std::int32_t>(in.size()) / ci;
    std::vector<float> out(static_cast<std::size_t>(frames * co));
    for (std::int32_t f = 0; f < frames; f += 64) {
        const std::int32_t n = std::min(64, frames - f);
        reverb.process(out.data() + f * co, in.data() + f * ci, n);
    }
    return out;
}

std::vector<float> silence(std::int32_t frames, std::int32_t channels = 2)
{
    return std::vector<float>(static_cast<std::size_t>(frames * channels), 0.0f);
}

std::vector<float> impulse(std::int32_t frames, std::int32_t channel = 0, std::int32_t channels = 2)
{
    std::vector<float> x = silence(frames, channels);
    x[static_cast<std::size_t>(channel)] = 1.0f;
    return x;
}

bool allZero(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return v == 0.0f; });
}

bool allFinite(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v); });
}

std::unique_ptr<TRoomReverb> started(float rate = 44100.0f,
                                     std::uint32_t ring = TRoomReverb::kDefaultRingLength)
{
    auto reverb = std::make_unique<RoomReverbCX2>(ring);
    reverb->setFormat(rate, 2, 2);
    reverb->start();
    return reverb;
}

} // namespace

TEST(RoomReverb, StoppedItCopiesItsInput)
{
    RoomReverbCX2 reverb;
    reverb.setFormat(44100.0f, 2, 2);
    const std::vector<float> x = test::noise(2 * 200, 1, 0.5f);
    EXPECT_EQ(run(reverb, x), x) << "created stopped";

    reverb.start();
    run(reverb, x);
    EXPECT_TRUE(reverb.stop());
    EXPECT_FALSE(reverb.stop());
    EXPECT_EQ(run(reverb, x), x);

    // One input channel feeds both outputs.
    reverb.setFormat(44100.0f, 1, 2);
    const std::vector<float> mono{0.25f, -0.5f, 0.75f, 1.0f};
    const std::vector<float> expected{0.25f, 0.25f, -0.5f, -0.5f, 0.75f, 0.75f, 1.0f, 1.0f};
    EXPECT_EQ(run(reverb, mono), expected);
}

TEST(RoomReverb, TapsFollowTheRateAndTheSize)
{
    auto reverb = started();
    // Size 16: 0.01 + 0.03 x 16 / 128 = 0.01375 s, 606 samples.
    EXPECT_EQ(reverb->getTaps(0).b[0], 2910u);
    EXPECT_EQ(reverb->getTaps(1).b[0], 2822u);
    EXPECT_EQ(reverb->getTaps(0).fo, 2910u + 1587u + 606u);
    EXPECT_EQ(reverb->getTaps(1).fo, 2822u + 1675u + 606u);
    EXPECT_EQ(reverb->getTaps(0).a[4], 2910u + 441u);

    reverb->setFormat(96000.0f, 2, 2); // a running reverb re-places its taps
    EXPECT_EQ(reverb->getTaps(0).b[0], 6336u);
    EXPECT_EQ(reverb->getTaps(1).b[0], 6144u);
    EXPECT_EQ(reverb->getTaps(0).fo, 6336u + 3456u + 1320u);
}

TEST(RoomReverb, SizeClearsTheTailTimeDoesNot)
{
    struct Case {
        std::int32_t controller;
        bool clears;
    };
    for (const Case c :
         {Case{89, false}, Case{90, false}, Case{102, false}, Case{104, false}, Case{103, true}}) {
        auto reverb = started();
        run(*reverb, impulse(3000));
        reverb->setController(c.controller, 100);
        const std::vector<float> tail = run(*reverb, silence(3000));
        EXPECT_EQ(allZero(tail), c.clears) << "controller " << c.controller;
        EXPECT_TRUE(reverb->isRunning());
    }
}

TEST(RoomReverb, SizeAloneLeavesTheLoopGainAsItWas)
{
    auto reverb = started();
    const float g = reverb->getLoopGain();
    // g = 0.001^((size + 0.104) / T), T = 0.1 x 3^(2 x 40 / 128).
    const double t = 0.1 * std::pow(3.0, 80.0 / 128.0);
    EXPECT_NEAR(g, std::pow(0.001, (0.01375 + 0.104) / t), 1e-6);

    reverb->setController(103, 127);
    reverb->applyChangedParameters();
    EXPECT_NE(reverb->getSize(), 0.01375f);
    EXPECT_EQ(reverb->getLoopGain(), g);

    reverb->setController(89, 40); // the same time, sent again
    reverb->applyChangedParameters();
    EXPECT_NEAR(reverb->getLoopGain(), std::pow(0.001, (reverb->getSize() + 0.104) / t), 1e-6);
    EXPECT_LT(reverb->getLoopGain(), g);
}

TEST(RoomReverb, WetAndDryGainsFollowLevelPerVariantAndInputChannels)
{
    struct Case {
        bool cx2;
        std::int32_t inputs;
        double wetPerLevel;
        double dryPerLevel; // dry = 1 - dryPerLevel x level
    };
    const Case cases[] = {
        {false, 1, 0.3, 1.0},
        {false, 2, 0.15, 1.0},
        {true, 1, 0.3, 1.0},
        {true, 2, 0.3, 0.3},
    };
    for (const Case& c : cases) {
        for (std::int32_t value : {0, 64, 100, 127}) {
            std::unique_ptr<TRoomReverb> reverb =
                c.cx2 ? std::make_unique<RoomReverbCX2>() : std::make_unique<TRoomReverb>();
            reverb->setFormat(44100.0f, c.inputs, 2);
            reverb->setController(104, value);
            reverb->start();
            const double level = value / 128.0;
            EXPECT_NEAR(reverb->getWetGain(), c.wetPerLevel * level, 1e-7)
                << c.cx2 << " " << c.inputs << " " << value;
            EXPECT_NEAR(reverb->getDryGain(), 1.0 - c.dryPerLevel * level, 1e-7);

            // The first frame meets empty lines: the output is the dry input alone.
            const std::vector<float> x(static_cast<std::size_t>(c.inputs), 0.5f);
            const std::vector<float> y = run(*reverb, x);
            EXPECT_EQ(y[0], reverb->getDryGain() * 0.5f);
        }
    }
}

TEST(RoomReverb, TheRingHoldsEveryTapUpTo192kHz)
{
    struct Case {
        float rate;
        std::uint32_t ring;
        std::uint32_t reference;
        bool same;
    };
    const Case cases[] = {
        {96000.0f, 16384, 32768, true},
        {192000.0f, 32768, 65536, true},
        {176400.0f, 32768, 65536, true},
        {192000.0f, 16384, 65536, false}, // a short ring aliases every delay there
    };
    const std::vector<float> x = test::noise(2 * 12000, 1, 0.5f);
    for (const Case& c : cases) {
        auto a = started(c.rate, c.ring);
        auto b = started(c.rate, c.reference);
        for (auto* reverb : {a.get(), b.get()}) {
            reverb->setController(103, 127); // the largest room
            reverb->setController(89, 127);
        }
        std::vector<float> ya = run(*a, x);
        std::vector<float> yb = run(*b, x);
        const std::vector<float> tailA = run(*a, silence(40000));
        const std::vector<float> tailB = run(*b, silence(40000));
        ya.insert(ya.end(), tailA.begin(), tailA.end());
        yb.insert(yb.end(), tailB.begin(), tailB.end());
        EXPECT_EQ(ya == yb, c.same) << c.rate << " Hz, " << c.ring;
    }
}

TEST(RoomReverb, TheTailDecaysToExactZerosWithoutASubnormalOnTheWay)
{
    auto reverb = started();
    std::vector<float> faint = test::noise(2 * 4410, 1, 0.5f);
    for (float& x : faint)
        x *= 1e-24f; // the last 120 dB of a tail, some 1.5 s
    run(*reverb, faint);
    const std::vector<float> tail = run(*reverb, silence(44100 * 3));
    for (float y : tail)
        ASSERT_TRUE(y == 0.0f || std::fabs(y) >= std::numeric_limits<float>::min()) << y;
    EXPECT_TRUE(allZero(std::vector<float>(tail.end() - 22050, tail.end())));
    EXPECT_FALSE(allZero(std::vector<float>(tail.begin(), tail.begin() + 22050)));
}

TEST(RoomReverb, NonFiniteOrHotInputNeverPoisonsTheLines)
{
    auto reverb = started();
    std::vector<float> bad = test::noise(2 * 64, 1, 0.5f);
    bad[0] = std::numeric_limits<float>::quiet_NaN();
    bad[3] = std::numeric_limits<float>::infinity();
    bad[10] = -std::numeric_limits<float>::infinity();
    bad[20] = 3e38f;
    bad[21] = 3e38f; // the sum of a hot pair overflows
    bad[40] = 20.0f;
    run(*reverb, bad);
    const std::vector<float> after = run(*reverb, test::noise(2 * 44100, 1, 0.5f));
    EXPECT_TRUE(allFinite(after));

    // A hot but finite sample reverberates like any other, and its tail falls.
    auto hot = started();
    std::vector<float> x = silence(64);
    x[0] = 1e30f;
    run(*hot, x);
    const std::vector<float> tail = run(*hot, silence(44100 * 2));
    EXPECT_TRUE(allFinite(tail));
    const auto peak = [](auto begin, auto end) {
        float p = 0.0f;
        for (auto it = begin; it != end; ++it)
            p = std::max(p, std::fabs(*it));
        return p;
    };
    EXPECT_LT(peak(tail.end() - 4410, tail.end()), 1e-6f * peak(tail.begin(), tail.begin() + 4410));
}

TEST(RoomReverb, TheRingLengthMustBeAPowerOfTwo)
{
    EXPECT_THROW(TRoomReverb(0), std::invalid_argument);
    EXPECT_THROW(TRoomReverb(1), std::invalid_argument);
    EXPECT_THROW(TRoomReverb(30000), std::invalid_argument);
    EXPECT_NO_THROW(TRoomReverb(4));
}
