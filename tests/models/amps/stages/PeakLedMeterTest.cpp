// The peak LED meters of the RE500 and RKM4Pro preamps and of the limiter.
#include "DynamicsRunner.h"

#include "engine/modules/Meter.h"
#include "models/amps/stages/PeakLedMeter.h"
#include "models/amps/stages/PeakLedMeterTraits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using RE500Led = PeakLedMeter<BorvanRE500TraitsDetails::PeakLedMeterTraits>;
using RKM4ProLed = PeakLedMeter<BorvanRKM4ProTraitsDetails::PeakLedMeterTraits>;
using LimiterLed = PeakLedMeter<LimiterTraitsDetails::PeakLedMeterTraits>;

// The meter input whose rectified current is `amperes` (the curves rise
// monotonically past their knee), found by bisection on the meter's own curve.
template <class Meter> float inputFor(const Meter& meter, float amperes)
{
    double lo = 0.0;
    double hi = meter.getRectifier().getXLast();
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (meter.getRectifier()(static_cast<float>(mid)) < amperes ? lo : hi) = mid;
    }
    return static_cast<float>(hi / meter.getInputGain());
}

template <class Meter> struct Fixture {
    explicit Fixture(float rate = 44100.0f) : runner(meter, rate) {}
    Meter meter;
    dyntest::Runner runner;
    float level() { return meter.getParameter("Level").getValue(); }
};

TEST(PeakLedMeter, VariantsDeclareTheirInputsAndDefaults)
{
    Fixture<RE500Led> re500;
    Fixture<RKM4ProLed> rkm4Pro;
    Fixture<LimiterLed> limiter;
    EXPECT_EQ(re500.meter.getInputs().size(), 2u);
    EXPECT_EQ(rkm4Pro.meter.getInputs().size(), 3u);
    EXPECT_EQ(limiter.meter.getInputs().size(), 1u);
    EXPECT_NE(rkm4Pro.meter.getInputs().find("In3"), nullptr);
    EXPECT_TRUE(re500.meter.getOutputs().empty());
    EXPECT_EQ(re500.meter.getParameter("ReleaseTime").getDefault(), 80.0f);
    EXPECT_EQ(limiter.meter.getParameter("AttackTime").getDefault(), 0.0f);
    EXPECT_EQ(limiter.meter.getParameter("ReleaseTime").getDefault(), 235.0f);
    EXPECT_EQ(re500.meter.getParameter("Level").getFlags(), 1u);
    // -12 dB, the RKM4Pro default, scales the inputs by 0.2512 before the curve.
    EXPECT_NEAR(rkm4Pro.meter.getInputGain(), 0.2512f, 1e-4f);
    rkm4Pro.meter.setParameter("AttackTime", 0.0f);
    rkm4Pro.meter.step(20.0f);
    EXPECT_EQ(rkm4Pro.meter.getCurrent(),
              rkm4Pro.meter.getRectifier()(20.0f * rkm4Pro.meter.getInputGain()));
}

TEST(PeakLedMeter, ZeroTimesFollowAtOnce)
{
    Fixture<RE500Led> f;
    f.meter.setParameter("AttackTime", 0.0f);
    f.meter.setParameter("ReleaseTime", 0.0f);
    EXPECT_EQ(f.meter.getAttackCoefficient(), 0.0f);
    EXPECT_EQ(f.meter.getReleaseCoefficient(), 0.0f);
    for (const float x : {9.0f, 8.0f, 10.0f, 0.0f, 9.5f}) {
        f.meter.step(x);
        EXPECT_EQ(f.meter.getCurrent(), x > 0.0f ? f.meter.getRectifier()(x) : 0.0f) << x;
    }
}

// The hysteresis of the preamp LEDs, in per-sample and in block form: lit at
// 0.02 A, dark at 0.01 A, unchanged between.
template <class Meter> void checkHysteresis(const char* variant)
{
    struct Step {
        float amperes;
        bool lit;
    };
    const Step steps[] = {{0.015f, false},  {0.021f, true},  {0.015f, true}, {0.0105f, true},
                          {0.0098f, false}, {0.015f, false}, {0.0201f, true}};
    for (const bool block : {false, true}) {
        Fixture<Meter> f;
        f.meter.setParameter("AttackTime", 0.0f);
        f.meter.setParameter("ReleaseTime", 0.0f);
        for (const Step& s : steps) {
            const float x = inputFor(f.meter, s.amperes);
            float led;
            if (block) {
                f.runner.run(std::vector<std::vector<float>>{std::vector<float>(8, x)});
                led = f.level();
            } else {
                led = f.meter.step(x);
            }
            EXPECT_NEAR(f.meter.getCurrent(), s.amperes, 1e-5f) << variant;
            EXPECT_EQ(led, s.lit ? 1.0f : 0.0f)
                << variant << " at " << s.amperes << (block ? " (block)" : "");
            EXPECT_EQ(f.meter.isLit(), s.lit) << variant;
        }
    }
}

TEST(PeakLedMeter, PreampLedsSwitchWithHysteresis)
{
    checkHysteresis<RE500Led>("RE500");
    checkHysteresis<RKM4ProLed>("RKM4Pro");
}

TEST(PeakLedMeter, LimiterLedIsLitExactlyWhileTheCurrentReachesTwentyMilliamps)
{
    Fixture<LimiterLed> f;
    f.meter.setParameter("ReleaseTime", 0.0f);
    for (const float amperes : {0.015f, 0.0201f, 0.0199f, 0.025f, 0.0105f}) {
        const float led = f.meter.step(inputFor(f.meter, amperes));
        EXPECT_EQ(led, f.meter.getCurrent() >= 0.02f ? 1.0f : 0.0f) << amperes;
        EXPECT_EQ(led, amperes >= 0.02f ? 1.0f : 0.0f) << amperes;
    }
}

TEST(PeakLedMeter, BlockFormTakesTheLargestSignedInputAndDecaysOnNegativeHalfWaves)
{
    Fixture<RKM4ProLed> f;
    f.meter.setParameter("AttackTime", 0.0f);
    // Only the positive swing counts; an unconnected third input reads silence.
    f.runner.run({std::vector<float>(4, -150.0f), std::vector<float>(4, 120.0f)});
    const float expected = f.meter.getRectifier()(120.0f * f.meter.getInputGain());
    EXPECT_EQ(f.meter.getCurrent(), expected);
    EXPECT_EQ(f.level(), 1.0f);

    // All-negative input rectifies to 0: the current falls with the 80 ms
    // release, to a tenth of its start after 80 ms.
    const auto samples = static_cast<std::size_t>(0.080 * 44100.0);
    f.runner.run({std::vector<float>(samples, -120.0f), std::vector<float>(samples, -50.0f),
                  std::vector<float>(samples, -1.0f)});
    EXPECT_NEAR(f.meter.getCurrent(), 0.1f * expected, 0.002f * expected);
}

TEST(PeakLedMeter, RE500NeverLightsBelowTheKnee)
{
    Fixture<RE500Led> f;
    f.meter.setParameter("AttackTime", 0.0f);
    f.meter.setParameter("ReleaseTime", 1000.0f);
    f.runner.run({std::vector<float>(44100, 5.1f), std::vector<float>(44100, 4.0f)});
    EXPECT_EQ(f.level(), 0.0f);
    EXPECT_LT(f.meter.getCurrent(), 1e-6f);
}

TEST(PeakLedMeter, LevelAndLedSurviveAReset)
{
    Fixture<RE500Led> f;
    f.runner.run({std::vector<float>(64, 10.0f)});
    ASSERT_EQ(f.level(), 1.0f);
    const float current = f.meter.getCurrent();
    f.meter.reset();
    EXPECT_EQ(f.meter.getCurrent(), current);
    EXPECT_TRUE(f.meter.isLit());
    f.runner.run({std::vector<float>(4, 0.0f)});
    EXPECT_EQ(f.level(), 1.0f);
}

TEST(PeakLedMeter, BadInputsNeverPoisonTheCurrent)
{
    Fixture<RE500Led> f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    f.runner.run(
        {std::vector<float>{nan, inf, -inf, 1e-42f}, std::vector<float>{nan, nan, nan, nan}});
    EXPECT_TRUE(std::isfinite(f.meter.getCurrent()));
    EXPECT_LE(f.meter.getCurrent(), f.meter.getRectifier().getYLast());
    EXPECT_EQ(f.meter.step(nan), f.level());
}

// Values set through the meter are stored (limited to their ranges), so a
// rate change recomputes the same settings, and no time can make the
// coefficient exceed 1.
TEST(PeakLedMeter, SettingsHoldAcrossARateChangeAndAreLimited)
{
    Fixture<RE500Led> f(44100.0f);
    f.meter.setParameter("AttackTime", 5.0f);
    f.meter.setParameter("ReleaseTime", 300.0f);
    f.meter.setParameter("GainAdjust", -6.0f);
    f.runner.setRate(96000.0f);
    EXPECT_EQ(f.meter.getParameter("AttackTime").getValue(), 5.0f);
    EXPECT_EQ(f.meter.getAttackCoefficient(), CX2::MeterDetails::timeCoefficient(5.0f, 96000.0f));
    EXPECT_EQ(f.meter.getReleaseCoefficient(),
              CX2::MeterDetails::timeCoefficient(300.0f, 96000.0f));
    EXPECT_NEAR(f.meter.getInputGain(), 0.501187f, 1e-6f);

    struct Case {
        const char* name;
        float value;
        float stored;
    };
    const Case cases[] = {{"ReleaseTime", -50.0f, 0.0f},
                          {"AttackTime", -1.0f, 0.0f},
                          {"AttackTime", 5000.0f, 1000.0f},
                          {"GainAdjust", 40.0f, 20.0f},
                          {"GainAdjust", -std::numeric_limits<float>::infinity(), -20.0f}};
    for (const Case& c : cases) {
        f.meter.setParameter(c.name, c.value);
        EXPECT_EQ(f.meter.getParameter(c.name).getValue(), c.stored) << c.name << " " << c.value;
        EXPECT_LE(f.meter.getAttackCoefficient(), 1.0f);
        EXPECT_LE(f.meter.getReleaseCoefficient(), 1.0f);
        EXPECT_GE(f.meter.getReleaseCoefficient(), 0.0f);
    }
    EXPECT_NEAR(f.meter.getInputGain(), 0.1f, 1e-6f);
    f.runner.setRate(44100.0f);
    EXPECT_EQ(f.meter.getReleaseCoefficient(), 0.0f);
    EXPECT_EQ(f.meter.getAttackCoefficient(),
              CX2::MeterDetails::timeCoefficient(1000.0f, 44100.0f));
}

} // namespace
