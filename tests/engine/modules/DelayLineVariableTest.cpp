#include "tests/support/ElementRig.h"

#include "engine/modules/DelayLineVariable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rig;

namespace {

struct SecondLine {
    using Buffer = AudioEngine::AudioContainers::BufferCircular<>;
    static constexpr float maximumDelayMs = 1000.0f;
};
using Line = AudioEngine::DelayLineVariable<SecondLine>;

// The line fed with the ramp 1, 2, 3 ... and a delay signal held constant.
struct LineRig {
    explicit LineRig(float rate)
    {
        environment.rate = rate;
        bringUp(line, environment);
        line.getInput("In").connect(&feed);
        line.getInput("InDelay").connect(&delay);
        line.resolveConnections();
    }
    // Runs whole pieces until `samples` have been played; the last piece's output.
    std::vector<float> runTo(std::uint32_t samples, float delayMs)
    {
        delay.fill(delayMs);
        std::vector<float> y;
        while (played < samples) {
            for (std::uint32_t i = 0; i < 64; ++i)
                feed.data()[i] = float(++played);
            line.process();
            y = rig::samples(line.getOutput("Out"), 64);
        }
        return y;
    }

    RootEnvironment environment;
    Line line;
    Feed feed;
    Feed delay;
    std::uint32_t played = 0;
};

} // namespace

TEST(DelayLineVariable, TheRingHoldsOneSecondAndOneSampleAtEveryRate)
{
    LineRig rig(44100.0f);
    EXPECT_EQ(rig.line.getInfo().type, "DelayLineVariable");
    EXPECT_EQ(rig.line.getInfo().flags, 0x12u);
    EXPECT_EQ(rig.line.getBufferSize(), 44101u);
    for (float rate : {48000.0f, 96000.0f, 22050.0f}) {
        rig.environment.rate = rate;
        rig.line.update(); // a rate change
        EXPECT_EQ(rig.line.getBufferSize(), static_cast<std::uint32_t>(rate) + 1);
    }
    rig.environment.rate = 32000.0f;
    rig.line.prepare(); // and the same when the line is prepared again
    EXPECT_EQ(rig.line.getBufferSize(), 32001u);

    using AudioEngine::DelayLineVariableDetails::ringSize;
    EXPECT_EQ(ringSize(0.0f, 1000.0f), 1u);
    EXPECT_EQ(ringSize(std::numeric_limits<float>::quiet_NaN(), 1000.0f), 1u);
    EXPECT_EQ(ringSize(-44100.0f, 1000.0f), 1u);
    EXPECT_EQ(ringSize(std::numeric_limits<float>::infinity(), 1000.0f), 33554433u);
}

TEST(DelayLineVariable, ReadsWholeSampleDelaysExactlyAndInterpolatesBetween)
{
    // At 32000 Hz one sample is 1/32 ms, exact in binary, so whole-sample
    // delays come out exact.
    const struct {
        const char* what;
        float ms;
        double samplesBack;
    } cases[] = {
        {"no delay passes the input", 0.0f, 0.0},
        {"one sample", 1.0f / 32.0f, 1.0},
        {"a hundred samples", 100.0f / 32.0f, 100.0},
        {"a quarter between two samples", 2.25f / 32.0f, 2.25},
        {"negative: no delay", -3.0f, 0.0},
        {"NaN: no delay", std::numeric_limits<float>::quiet_NaN(), 0.0},
        {"over long: the oldest sample", 5000.0f, 32000.0},
        {"infinite: the oldest sample", std::numeric_limits<float>::infinity(), 32000.0},
    };
    for (const auto& c : cases) {
        LineRig rig(32000.0f);
        const std::vector<float> y = rig.runTo(40000, c.ms);
        const double newest = rig.played;
        for (std::uint32_t i = 0; i < 64; ++i) {
            const double expected = newest - 63 + i - c.samplesBack;
            if (c.samplesBack == std::floor(c.samplesBack))
                ASSERT_EQ(y[i], static_cast<float>(expected)) << c.what << ", sample " << i;
            else
                ASSERT_NEAR(y[i], expected, 1e-2) << c.what << ", sample " << i;
        }
    }

    // At 44100 Hz the chorus's shortest delay, 1.1377778 ms, is 50.176 samples.
    LineRig rig(44100.0f);
    const std::vector<float> y = rig.runTo(1000, 1.1377778f);
    EXPECT_NEAR(y[63], rig.played - 50.176, 1e-3);
}

TEST(DelayLineVariable, ResetSilencesTheRingAndARepeatedUpdateKeepsIt)
{
    LineRig rig(44100.0f);
    rig.runTo(640, 1.0f);
    rig.line.update(); // same rate: nothing moves
    const float held = rig.runTo(704, 1.0f)[63];
    EXPECT_NEAR(held, rig.played - 44.1, 1e-3);

    rig.line.reset();
    rig.feed.fill(0.0f);
    rig.line.process();
    EXPECT_EQ(rig.line.getOutput("Out").getBuffer()[0], 0.0f);

    // A non-finite input is gone once it has left the ring.
    rig.feed.fill(std::numeric_limits<float>::infinity());
    rig.line.process();
    rig.feed.fill(1.0f);
    for (int block = 0; block < 2; ++block)
        rig.line.process();
    EXPECT_EQ(rig.line.getOutput("Out").getBuffer()[63], 1.0f);
}
