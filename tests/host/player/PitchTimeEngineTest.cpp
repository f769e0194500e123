#include "host/player/CRAPSTS.h"
#include "host/player/zqEfxImplPstsPoly.h"
#include "tests/host/player/PitchTimeFixture.h"
#include "tests/support/CountingAllocator.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace test::pitchtime;

constexpr int kRate = 44100;

std::string label(double p, double s)
{
    return "p " + std::to_string(p) + ", s " + std::to_string(s);
}

TEST(PitchTimeEffect, ParametersAreCheckedWhereTheyEnter)
{
    EXPECT_EQ(zqEfxCreate(101), nullptr);
    EXPECT_EQ(zqEfxCreate(0), nullptr);
    player::zqEfxBase* effect = zqEfxCreate(102);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->getId(), 102);
    struct Case {
        int id;
        float value;
        int accepted;
        float stored;
    };
    for (const Case& c :
         {Case{10000, 2.0f, 1, 2.0f}, Case{10000, 5.0f, 1, 1.0f}, Case{10001, 1.0f, 1, 1.0f},
          Case{10001, 7.0f, 1, 2.0f}, Case{10002, 48000.5f, 1, 48000.0f},
          Case{10004, 0.0f, 1, 0.001f}, Case{10004, 25.0f, 1, 10.0f}, Case{10005, -3.0f, 1, 0.001f},
          Case{10005, 1.5f, 1, 1.5f}, Case{10005, NAN, 0, 1.5f}, Case{10003, 1.0f, 0, 0.0f},
          Case{9999, 1.0f, 0, 0.0f}}) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(zqEfxSetParam(effect, c.id, c.value), c.accepted);
        float value = 0.0f;
        const int known = zqEfxGetParam(effect, c.id, &value);
        EXPECT_EQ(known, c.id == 10003 || c.id == 9999 ? 0 : 1);
        EXPECT_EQ(value, c.stored);
    }
    // Unprepared, the effect answers silence.
    std::vector<float> out(64, 1.0f), other(64, 1.0f);
    float* buffers[2] = {out.data(), other.data()};
    EXPECT_EQ(zqEfxProcess(effect, nullptr, buffers, 0, 64), 1);
    EXPECT_EQ(out, std::vector<float>(64, 0.0f));
    zqEfxDestroy(effect);
    EXPECT_EQ(zqEfxProcess(nullptr, nullptr, buffers, 0, 64), 0);
}

TEST(PitchTimeEffect, UnityFactorsCopyTheSourceBitForBitAtAnyBlockAndAfterSeeks)
{
    Source source{test::randomSignal(120000, 1), test::randomSignal(120000, 2)};
    const std::int64_t jumps[] = {0, 50000, 123, 99999};
    for (int id : {102, 103}) {
        for (double unity : {1.0, 0.99995, 1.00009}) {
            for (int block : {1, 7, 64, 1000, 8192}) {
                SCOPED_TRACE("effect " + std::to_string(id) + ", factors " + std::to_string(unity) +
                             ", block " + std::to_string(block));
                Effect effect(id, source, kRate, 2);
                effect.set(unity, 2.0 - unity);
                for (std::int64_t at : jumps) {
                    const auto out = effect.run(at, 9000, block);
                    for (int i = 0; i < 9000; ++i) {
                        const auto k = static_cast<std::size_t>(at + i);
                        const float left = k < source.left.size() ? source.left[k] : 0.0f;
                        const float right = k < source.right.size() ? source.right[k] : 0.0f;
                        ASSERT_EQ(out[0][i], left) << at + i;
                        ASSERT_EQ(out[1][i], right) << at + i;
                    }
                }
            }
        }
    }
}

// The pitch and level table: +12, +4, -4 and -12 semitones at three tempos.
struct Tone {
    const char* name;
    bool saw;
    int rate;
};
const double kPitches[] = {0.5, 0.7937, 1.26, 2.0};
const double kTimes[] = {0.75, 1.0, 1.5};

TEST(PitchTimeEffect, TheFundamentalMovesByThePitchFactorAtEveryTempo)
{
    for (const Tone& tone :
         {Tone{"sine", false, 44100}, Tone{"sawtooth", true, 44100}, Tone{"sine", false, 48000}}) {
        Source source{tone.saw ? test::sawtooth(110.0, tone.rate, 3 * tone.rate)
                               : test::sine(std::size_t(3 * tone.rate), 0.5f, 110.0, tone.rate)};
        for (double p : kPitches) {
            for (double s : kTimes) {
                SCOPED_TRACE(std::string(tone.name) + " at " + std::to_string(tone.rate) + ", " +
                             label(p, s));
                Effect effect(102, source, tone.rate);
                effect.set(p, s);
                const int skip = tone.rate / 5;
                auto out = effect.run(0, skip + tone.rate)[0];
                out.erase(out.begin(), out.begin() + skip);
                const double expected = 110.0 / p;
                const double found =
                    test::peakFrequency(out, tone.rate, expected * 0.8, expected * 1.25);
                EXPECT_NEAR(test::cents(found, expected), 0.0, 5.0) << found << " Hz";
                if (!tone.saw) {
                    const double in = test::rms(source.left);
                    EXPECT_NEAR(20.0 * std::log10(test::rms(out) / in), 0.0, 1.5);
                }
            }
        }
    }
}

TEST(PitchTimeEffect, APitchFactorAboveFourActsAsFour)
{
    Source source{test::sawtooth(110.0, kRate, kRate)};
    Effect four(102, source), ten(102, source);
    four.set(4.0, 1.2);
    ten.set(10.0, 1.2);
    float value = 0.0f;
    EXPECT_EQ(zqEfxGetParam(ten.get(), 10005, &value), 1);
    EXPECT_EQ(value, 10.0f);
    EXPECT_EQ(four.run(0, 20000), ten.run(0, 20000));
}

TEST(PitchTimeEffect, TheSourceAdvancesByTheOutputOverTheTimeFactor)
{
    Source source{test::sine(std::size_t(10 * kRate), 0.5f, 110.0, kRate)};
    for (double s : {2.0, 0.5, 1.5}) {
        SCOPED_TRACE(s);
        Effect effect(102, source);
        effect.set(1.26, s);
        auto& engine = *static_cast<player::zqEfxImplPstsPoly*>(effect.get())->engine();
        const double grain = 2.0 * engine.period();
        for (int frames : {10000, 40000, 88200}) {
            const std::int64_t at = frames == 10000 ? 0 : frames - 10000;
            effect.run(at, 10000, 441);
            EXPECT_NEAR(engine.channel(0).playPosition(), frames / s, grain) << frames;
        }
        // A jump re-seeks the source to position / s.
        source.earliest = std::numeric_limits<std::int64_t>::max();
        effect.run(300000, 64);
        EXPECT_NEAR(double(source.earliest), 300000 / s, grain);
        EXPECT_NEAR(engine.channel(0).playPosition(), (300000 + 64) / s, grain);
    }
}

TEST(PitchTimeEffect, TheGrainPeriodAdaptsNearUnity)
{
    Source source{test::sine(std::size_t(kRate), 0.5f, 110.0, kRate)};
    Effect effect(102, source);
    auto& engine = *static_cast<player::zqEfxImplPstsPoly*>(effect.get())->engine();
    struct Case {
        double p, s, period, tolerance;
    };
    const double semitone = std::pow(2.0, 1.0 / 12.0);
    for (const Case& c : {Case{2.0, 1.5, 1764.0, 1e-9},
                          Case{1.0, 1.05, 44100.0 / (55.0 * std::sqrt(0.5) + 25.0), 0.01},
                          Case{1.0, 1.1, 1764.0, 1e-9}, Case{semitone, 1.0, 1764.0, 1e-9},
                          Case{1.0003, 0.9997, 551.25, 4.0}, Case{1.00005, 1.0, 551.25, 1e-9},
                          Case{0.5, 0.75, 1764.0, 1e-9}}) {
        SCOPED_TRACE(label(c.p, c.s));
        effect.set(c.p, c.s);
        EXPECT_NEAR(engine.period(), c.period, c.tolerance);
        EXPECT_NEAR(engine.channel(0).period(), c.period, c.tolerance);
    }
}

TEST(PitchTimeEffect, APeriodChangeCrossfadesWithoutAStep)
{
    const float amplitude = 0.5f;
    Source source{test::sine(std::size_t(6 * kRate), amplitude, 110.0, kRate)};
    Effect effect(102, source);
    effect.set(1.0, 1.05);
    auto out = effect.run(0, kRate);
    // To a shorter and then a longer period while the tone plays.
    for (double s : {1.02, 1.08}) {
        effect.set(1.0, s);
        const auto more = effect.run(std::int64_t(out[0].size()), kRate)[0];
        out[0].insert(out[0].end(), more.begin(), more.end());
    }
    const double slope = 2.0 * 3.14159265 * 110.0 / kRate * amplitude;
    double steepest = 0.0;
    for (std::size_t i = kRate / 5; i < out[0].size(); ++i) {
        steepest = std::max(steepest, double(std::fabs(out[0][i] - out[0][i - 1])));
    }
    EXPECT_LT(steepest, 1.5 * slope);
}

TEST(PitchTimeEffect, HostileSourcesGiveBoundedFiniteOutput)
{
    const int n = 3 * kRate;
    std::vector<float> clicks(n, 0.0f);
    for (int i = 0; i < n; i += 1000)
        clicks[static_cast<std::size_t>(i)] = 0.8f;
    auto burst = test::sine(std::size_t(n), 0.5f, 110.0, kRate);
    std::fill(burst.begin() + 20000, burst.begin() + 21000, NAN);
    burst[30000] = INFINITY;
    struct Case {
        const char* name;
        std::vector<float> signal;
    };
    const Case cases[] = {
        {"white noise", test::randomSignal(n, 7)}, {"click train", clicks}, {"NaN burst", burst}};
    for (const Case& c : cases) {
        float inputPeak = 0.0f;
        for (float v : c.signal)
            if (std::isfinite(v))
                inputPeak = std::max(inputPeak, std::fabs(v));
        for (double p : {0.001, 10.0}) {
            for (double s : {0.001, 10.0}) {
                SCOPED_TRACE(std::string(c.name) + ", " + label(p, s));
                Source source{c.signal};
                Effect effect(102, source);
                effect.set(p, s);
                const auto out = effect.run(0, 40000, 1000)[0];
                for (float v : out) {
                    ASSERT_TRUE(std::isfinite(v));
                    ASSERT_LT(std::fabs(v), 2.0f * inputPeak);
                }
                // The first grains reach before the file, which answers zeros there.
                EXPECT_LT(source.earliest, 0);
            }
        }
    }
}

TEST(PitchTimeEffect, FramesTheSourceDoesNotDeliverReadAsSilence)
{
    // A source that scribbles over its buffers and delivers nothing.
    auto scribbler = [](void*, float** buffers, std::int64_t, int frames) {
        std::fill(buffers[0], buffers[0] + frames, NAN);
        return 0;
    };
    for (double p : {1.0, 0.7}) {
        player::zqEfxBase* effect = zqEfxCreate(102);
        zqEfxSetSource(effect, nullptr, scribbler);
        zqEfxPrepare(effect);
        zqEfxSetParam(effect, 10005, static_cast<float>(p));
        std::vector<float> out(5000, 1.0f);
        float* buffers[1] = {out.data()};
        EXPECT_EQ(zqEfxProcess(effect, nullptr, buffers, 0, 5000), 1);
        for (float v : out)
            ASSERT_EQ(v, 0.0f);
        zqEfxDestroy(effect);
    }
}

TEST(PitchTimeEffect, OutputAfterAJumpEqualsAFreshEngineStartedThere)
{
    Source source{test::sawtooth(110.0, kRate, 8 * kRate), test::randomSignal(8 * kRate, 3)};
    for (double p : {0.7937, 1.0, 2.0}) {
        for (double s : {0.75, 1.05, 1.5}) {
            SCOPED_TRACE(label(p, s));
            Effect played(102, source, kRate, 2), fresh(102, source, kRate, 2);
            played.set(p, s);
            fresh.set(p, s);
            played.run(0, 30000, 1000);
            EXPECT_EQ(played.run(150000, 20000, 333), fresh.run(150000, 20000, 64));
        }
    }
}

TEST(PitchTimeEffect, StereoChannelsKeepTheirGrainsTogether)
{
    // Right is left with a little noise of its own: were the channels matched
    // apart, noise alone would pick different grain moves and the two outputs
    // would drift apart by whole milliseconds.
    const auto left = test::randomSignal(2 * kRate, 4);
    auto right = test::randomSignal(2 * kRate, 6);
    for (std::size_t i = 0; i < right.size(); ++i)
        right[i] = left[i] + 0.01f * right[i];
    Source stereo{left, right}, mono{left};
    for (double p : {0.7937, 1.26}) {
        SCOPED_TRACE(p);
        Effect both(102, stereo, kRate, 2), one(102, mono);
        both.set(p, 1.5);
        one.set(p, 1.5);
        const auto out = both.run(0, 60000);
        // The left channel leads: it is exactly the mono run.
        EXPECT_EQ(out[0], one.run(0, 60000)[0]);
        std::vector<float> difference(out[0].size());
        for (std::size_t i = 0; i < difference.size(); ++i)
            difference[i] = out[1][i] - out[0][i];
        EXPECT_LT(test::rms(difference), 0.03 * test::rms(out[0]));
    }
}

TEST(PitchTimeEffect, ProcessAllocatesNothingAtAnyBlockSize)
{
    Source source{test::sawtooth(110.0, kRate, 4 * kRate), test::randomSignal(4 * kRate, 5)};
    struct Case {
        double p, s;
    };
    for (const Case& c :
         {Case{0.5, 1.5}, Case{2.0, 0.75}, Case{1.0, 1.05}, Case{0.001, 10.0}, Case{1.0, 1.0}}) {
        Effect effect(102, source, kRate, 2);
        effect.set(c.p, c.s);
        std::vector<float> left(8192), right(8192);
        float* buffers[2] = {left.data(), right.data()};
        test::allocations::take();
        {
            test::allocations::Counting counting;
            std::int64_t at = 0;
            for (int block : {1, 7, 64, 1000, 8192, 300}) {
                for (int i = 0; i < 4; ++i, at += block)
                    zqEfxProcess(effect.get(), nullptr, buffers, at, block);
            }
            zqEfxProcess(effect.get(), nullptr, buffers, 100000, 512); // a jump
            effect.set(c.p * 1.01, c.s * 0.99);                        // new factors
            zqEfxProcess(effect.get(), nullptr, buffers, 100512, 512);
        }
        EXPECT_EQ(test::allocations::take(), 0) << label(c.p, c.s);
    }
}

// A plain source at a rate of its own, for the engine without the effect.
class ToneSource : public player::IRAPCMSource {
public:
    ToneSource(std::vector<float> signal, int rate) : signal_(std::move(signal)), rate_(rate) {}
    std::int64_t length() const override { return std::int64_t(signal_.size()); }
    int sampleRate() const override { return rate_; }
    int channels() const override { return 1; }
    void read(float* destination, std::int64_t first, std::int64_t last) override
    {
        for (std::int64_t i = first; i < last; ++i)
            *destination++ = i >= 0 && i < length() ? signal_[static_cast<std::size_t>(i)] : 0.0f;
    }

private:
    std::vector<float> signal_;
    int rate_;
};

TEST(PitchTimeEngine, ReadingFasterThanTheSourceFiltersWhatWouldAlias)
{
    // A source at twice the output rate: the ring is read two samples a frame.
    const int sourceRate = 88200;
    const double p = 1.26;
    auto run = [&](double hz) {
        ToneSource source(test::sine(std::size_t(2 * sourceRate), 0.5f, hz, sourceRate),
                          sourceRate);
        player::CRANewPolyPSTS engine(source);
        engine.setOutputRate(kRate);
        engine.setGrainRate(25.0);
        engine.setPitchFactor(p);
        engine.setTimeFactor(1.0);
        engine.seek(0.0);
        EXPECT_TRUE(engine.channel(0).ring().antiAliasing());
        EXPECT_DOUBLE_EQ(engine.channel(0).rateRatio(), 2.0);
        std::vector<float> out(kRate + kRate / 5);
        float* buffers[1] = {out.data()};
        engine.process(buffers, 1, static_cast<int>(out.size()));
        out.erase(out.begin(), out.begin() + kRate / 5);
        return out;
    };
    const double reference =
        test::rms(test::sine(std::size_t(sourceRate), 0.5f, 1000.0, sourceRate));
    // A tone the output can hold keeps its level and moves by the pitch factor.
    const auto low = run(1000.0);
    EXPECT_NEAR(20.0 * std::log10(test::rms(low) / reference), 0.0, 1.5);
    const double found = test::peakFrequency(low, kRate, 1000.0 / p * 0.8, 1000.0 / p * 1.25);
    EXPECT_NEAR(test::cents(found, 1000.0 / p), 0.0, 5.0);
    // One that lands above the output's Nyquist frequency (35 kHz / 1.26 =
    // 27.8 kHz) is filtered out instead of folding down to 16.3 kHz.
    EXPECT_LT(20.0 * std::log10(test::rms(run(35000.0)) / reference), -30.0);

    // At the output's own rate the low-pass stays off.
    Source source{test::sine(std::size_t(kRate), 0.5f, 110.0, kRate)};
    Effect effect(102, source);
    effect.set(p, 1.0);
    auto& engine = *static_cast<player::zqEfxImplPstsPoly*>(effect.get())->engine();
    EXPECT_FALSE(engine.channel(0).ring().antiAliasing());
}

} // namespace
