#include "tests/support/ElementRig.h"

#include "engine/modules/PhaseAdjust.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace rig;

namespace {

struct DelayRig {
    DelayRig() { plugIn(delay, environment, feed); }
    // Plays the ramp 1, 2, 3 ... for `samples` samples and returns the output.
    std::vector<float> run(std::uint32_t samples)
    {
        std::vector<float> out;
        while (out.size() < samples) {
            for (std::uint32_t i = 0; i < 64; ++i)
                feed.data()[i] = float(++played);
            delay.process();
            const float* y = delay.getOutput("Out").getBuffer();
            out.insert(out.end(), y, y + 64);
        }
        out.resize(samples);
        return out;
    }

    RootEnvironment environment;
    AudioEngine::BorvanQom::PhaseAdjust<20> delay;
    Feed feed;
    int played = 0;
};

// Index of the first sample equal to the first ramp value, that is the delay.
std::size_t lag(const std::vector<float>& out)
{
    return std::find(out.begin(), out.end(), 1.0f) - out.begin();
}

} // namespace

TEST(DelayLine, TheDelayIsTheTruncatedSampleCountOfItsTime)
{
    struct Case {
        float ms, rate;
        std::size_t samples;
    } cases[] = {
        {20.0f, 44100.0f, 882},                         // the maximum: the ring holds 883
        {0.0f, 44100.0f, 0},                            // passes in the same piece
        {0.01f, 44100.0f, 0},                           // 0.441 samples
        {1.0f, 44100.0f, 44},   {99.0f, 44100.0f, 882}, // limited to the maximum
        {10.0f, 96000.0f, 960},
    };
    for (const Case& c : cases) {
        DelayRig rig;
        rig.environment.rate = c.rate;
        rig.delay.update();
        rig.delay.setParameter("Delay", c.ms);
        EXPECT_EQ(lag(rig.run(1024)), c.samples) << c.ms << " ms at " << c.rate;
    }
    DelayRig rig;
    EXPECT_EQ(rig.delay.getBufferSize(), 883u);
}

TEST(DelayLine, ResetAndRateChangesLeaveNoOldSamplesInTheRing)
{
    DelayRig rig;
    rig.delay.setParameter("Delay", 20.0f);
    rig.run(2000); // the ring is full of the ramp

    rig.delay.reset();
    float first = float(rig.played + 1);
    std::vector<float> out = rig.run(1000);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 882, [](float x) { return x == 0.0f; }));
    EXPECT_EQ(out[882], first);

    rig.run(2000);
    rig.environment.rate = 96000.0f;
    rig.delay.update(); // a new ring for the new rate, with D following it
    EXPECT_EQ(rig.delay.getBufferSize(), 1921u);
    first = float(rig.played + 1);
    out = rig.run(2000);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 1920, [](float x) { return x == 0.0f; }));
    EXPECT_EQ(out[1920], first);
}

TEST(DelayLine, AChangeOfDelayMovesOnlyTheWritePosition)
{
    DelayRig rig;
    rig.delay.setParameter("Delay", 1.0f); // 44 samples
    std::vector<float> out = rig.run(128);
    EXPECT_EQ(out[44], 1.0f);
    rig.delay.setParameter("Delay", 0.0f);
    out = rig.run(64);
    EXPECT_EQ(out[0], 129.0f) << "without delay the input passes at once";
}
