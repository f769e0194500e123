#include "tests/support/ElementRig.h"

#include "engine/modules/Meter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

using namespace rig;

namespace {

using VuMeter = AudioEngine::CX2::Meter<100, 500, 4>;
using LedMeter = AudioEngine::CX2::Meter<0, 600, 0>;

template <class M> struct MeterRig {
    MeterRig() { plugIn(meter, environment, feed); }
    // Runs `samples` samples of a constant in pieces of at most 64.
    void run(float value, std::uint32_t samples = 64)
    {
        feed.fill(value);
        while (samples > 0) {
            environment.chunk = std::min<std::uint32_t>(samples, 64);
            meter.process();
            samples -= environment.chunk;
        }
    }
    float level() { return meter.getParameter("Level").getValue(); }

    RootEnvironment environment;
    M meter;
    Feed feed;
};

} // namespace

TEST(Meter, BallisticsFollowTheirTimes)
{
    MeterRig<LedMeter> rig;
    rig.run(0.5f, 1);
    EXPECT_EQ(rig.meter.getEnvelope(), 0.5f) << "attack 0 follows at once";

    rig.meter.setParameter("ReleaseTime", 0.0f);
    rig.run(0.0f, 1);
    EXPECT_EQ(rig.meter.getEnvelope(), 0.0f) << "release 0 drops at once";

    rig.meter.setParameter("ReleaseTime", 500.0f);
    rig.run(1.0f, 4);
    rig.run(0.0f, 22050); // 500 ms at 44.1 kHz
    EXPECT_NEAR(rig.meter.getEnvelope(), 0.1f, 5e-4f);
}

TEST(Meter, EachReadHandsOverThePeakSinceThePreviousRead)
{
    MeterRig<LedMeter> rig;
    rig.run(0.8f);
    EXPECT_EQ(rig.level(), 0.8f);
    EXPECT_EQ(rig.level(), 0.0f) << "nothing measured since the last read";

    rig.run(0.0f); // the release tail of the 0.8 step
    const float second = rig.level();
    EXPECT_GT(second, 0.79f);
    EXPECT_LT(second, 0.8f);

    rig.meter.setParameter("ReleaseTime", 0.0f);
    rig.run(0.3f);
    rig.run(0.1f);
    EXPECT_EQ(rig.level(), 0.3f) << "the highest since the read, not the latest";
}

TEST(Meter, GainAdjustCalibratesTheLevel)
{
    MeterRig<VuMeter> rig;
    rig.meter.setParameter("AttackTime", 0.0f);
    rig.run(1.0f);
    EXPECT_NEAR(rig.level(), 1.5849f, 1e-4f);
    rig.meter.setParameter("GainAdjust", -20.0f);
    rig.run(1.0f);
    EXPECT_NEAR(rig.level(), 0.1f, 1e-6f);
}

TEST(Meter, SettingsAreStoredLimitedAndSurviveARateChange)
{
    MeterRig<VuMeter> rig;
    rig.meter.setParameter("ReleaseTime", -50.0f); // would make the envelope grow without bound
    EXPECT_EQ(rig.meter.getParameter("ReleaseTime").getValue(), 0.0f);
    rig.meter.setParameter("AttackTime", 0.0f);
    rig.run(1.0f, 4);
    rig.run(0.0f, 4);
    EXPECT_EQ(rig.meter.getEnvelope(), 0.0f);

    rig.meter.setParameter("ReleaseTime", 200.0f);
    rig.meter.setParameter("AttackTime", std::numeric_limits<float>::quiet_NaN()); // ignored
    EXPECT_EQ(rig.meter.getParameter("AttackTime").getValue(), 0.0f);
    rig.environment.rate = 96000.0f;
    rig.meter.update();
    EXPECT_EQ(rig.meter.getParameter("ReleaseTime").getValue(), 200.0f);
    rig.run(1.0f, 4);
    rig.run(0.0f, 19200); // 200 ms at 96 kHz
    EXPECT_NEAR(rig.meter.getEnvelope(), 0.1f, 5e-4f);
}

TEST(Meter, GarbageInputShowsAsOverloadAndDoesNotStick)
{
    MeterRig<LedMeter> rig;
    rig.meter.setParameter("ReleaseTime", 0.0f);
    for (float garbage :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        rig.run(garbage, 4);
        EXPECT_EQ(rig.level(), 100000.0f);
        rig.run(0.25f, 4);
        EXPECT_EQ(rig.meter.getEnvelope(), 0.25f);
        EXPECT_EQ(rig.level(), 0.25f);
    }
}

TEST(Meter, LevelReadFromAnotherThreadWhileAudioRuns)
{
    MeterRig<LedMeter> rig;
    rig.meter.setParameter("ReleaseTime", 0.0f);
    ParameterBase& level = rig.meter.getParameter("Level");
    std::atomic<bool> done{false};
    std::atomic<int> bad{0};
    std::atomic<int> seen{0};
    std::thread reader([&] {
        while (!done.load()) {
            const float value = level.getValue();
            if (value != 0.0f && value != 0.5f)
                ++bad;
            if (value == 0.5f)
                ++seen;
        }
    });
    for (int piece = 0; piece < 20000; ++piece)
        rig.run(piece % 2 ? 0.5f : 0.0f);
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_GT(seen.load() + (level.getValue() == 0.5f ? 1 : 0), 0);
}
