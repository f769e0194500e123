// The optical limiter and the solid-state power amp that ends the RE500 and
// RKM4Pro heads.
#include "DynamicsRunner.h"

#include "models/amps/stages/Limiter.h"
#include "models/amps/stages/PowerAmpBorvanSolidState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using LimiterType = Limiter<PowerAmpBorvanSolidStateTraitsDetails::LimiterTraits>;
using PowerAmp = PowerAmpBorvanSolidState<PowerAmpBorvanSolidStateTraits>;

// The inverting stage's gain magnitude for a photoresistance.
float stageGain(float r)
{
    return (33000.0f * r / (33000.0f + r)) / 15000.0f;
}

class LimiterTest : public ::testing::Test {
protected:
    LimiterType limiter;
    dyntest::Runner runner{limiter, 44100.0f};

    float peak() { return limiter.getParameter("Peak").getValue(); }
    // 40 dB of detector gain and a 20 V sine: the stage's gain falls close to its floor.
    void driveHard()
    {
        limiter.setParameter("Treshold", 40.0f);
        runner.run(dyntest::sine(20.0, 100.0, 44100.0, 44100));
        limiter.setParameter("Treshold", 0.0f);
    }
};

TEST_F(LimiterTest, DeclaresItsParametersAndChildren)
{
    std::vector<std::string> names;
    for (const auto& [name, parameter] : limiter.getParameters())
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Enable", "Peak", "Responsiveness", "Treshold"}));
    EXPECT_EQ(limiter.getParameter("Enable").getDefault(), 1.0f);
    EXPECT_EQ(limiter.getParameter("Peak").getFlags(), 1u);
    std::vector<std::string> children;
    for (const auto& entry : limiter.getSubModules())
        children.push_back(entry.name);
    EXPECT_EQ(children,
              (std::vector<std::string>{"Vactrol", "SmoothingFilter", "PreFilter", "PeakLed"}));
    // The inert input network is designed all the same: b0 = (B1 c + B0) / (A1 c + A0).
    const double c = 2.0 * 44100.0;
    EXPECT_NEAR(limiter.getPreFilter().getCoefficients().b0,
                (8.084e-8 * c + 7.8181816e-5) / (8.084e-8 * c + 1.047e-5), 1e-4);
}

TEST_F(LimiterTest, RateChangeReachesEveryChild)
{
    const auto smoothing = limiter.getSmoothingFilter().getCoefficients();
    const auto pre = limiter.getPreFilter().getCoefficients();
    const float release = limiter.getPeakLed().getReleaseCoefficient();
    runner.setRate(96000.0f);
    EXPECT_EQ(limiter.getVactrol().getStoredSampleRate(), 96000.0f);
    EXPECT_NE(limiter.getSmoothingFilter().getCoefficients().b0, smoothing.b0);
    EXPECT_NE(limiter.getPreFilter().getCoefficients().b0, pre.b0);
    EXPECT_GT(limiter.getPeakLed().getReleaseCoefficient(), release);
}

TEST_F(LimiterTest, DisabledIsThePlainInvertingStageAndFreezesTheState)
{
    driveHard();
    ASSERT_EQ(peak(), 1.0f);
    const float r = limiter.getResistance();
    const float led = limiter.getPeakLed().getCurrent();
    const auto filter = limiter.getSmoothingFilter().getState();

    limiter.setParameter("Enable", 0.0f);
    std::vector<float> input = dyntest::sine(3.0, 440.0, 44100.0, 1000);
    input[10] = 1e-40f;
    const std::vector<float> out = runner.run(input, 20);
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(out[i], -2.2f * input[i]) << i;
    EXPECT_EQ(peak(), 0.0f);
    EXPECT_EQ(limiter.getResistance(), r);
    EXPECT_EQ(limiter.getVactrol().getResistance(), r);
    EXPECT_EQ(limiter.getPeakLed().getCurrent(), led);
    EXPECT_EQ(limiter.getSmoothingFilter().getState().y1, filter.y1);

    limiter.setParameter("Enable", 1.0f);
    EXPECT_TRUE(limiter.isEnabled());
}

// Silence leaves the photoresistor dark; a small input shows the gain rising
// along the smoother's step response to -2.1297.
TEST_F(LimiterTest, EnabledWithSilenceStaysDarkAndSettlesAtTheDarkGain)
{
    runner.runConstant(0.0f, 4410);
    EXPECT_EQ(limiter.getResistance(), 1e6f);
    EXPECT_EQ(peak(), 0.0f);

    limiter.reset();
    const float in = 1e-3f;
    const std::vector<float> out = runner.runConstant(in, 2205);
    EXPECT_LT(std::fabs(out[0]), 0.01f * 2.1297f * in);
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_LE(out[i], out[i - 1] + 1e-12f) << i;
    EXPECT_NEAR(out.back(), -2.1297f * in, 2.1297f * in * 1e-4f);
    EXPECT_EQ(limiter.getResistance(), 1e6f);
    EXPECT_EQ(peak(), 0.0f);
}

// Each sample's gain comes from R before that sample's vactrol step: the first
// output after a reset is the smoother's first step on the dark gain.
TEST_F(LimiterTest, EachSampleUsesTheResistanceBeforeItsStep)
{
    limiter.reset();
    const float b0 = limiter.getSmoothingFilter().getCoefficients().b0;
    const std::vector<float> out = runner.run(std::vector<float>{5.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(out[0], -(b0 * stageGain(1e6f)) * 5.0f);
    EXPECT_LT(limiter.getResistance(), 0.97e6f);
    EXPECT_EQ(limiter.getVactrol().getResistance(), limiter.getResistance());
}

// The louder the detector, the lower the gain, towards (Rfb || 100) / Rin = 0.0067.
TEST_F(LimiterTest, LoudSineLightsThePeakAndPullsTheGainTowardsItsFloor)
{
    struct Case {
        float tresholdDb;
        double amplitude;
    };
    const Case cases[] = {{0.0f, 5.0}, {20.0f, 5.0}, {40.0f, 5.0}, {40.0f, 20.0}};
    float previous = stageGain(1e6f);
    for (const Case& c : cases) {
        LimiterType l;
        dyntest::Runner r(l);
        l.setParameter("Treshold", c.tresholdDb);
        const std::vector<float> out = r.run(dyntest::sine(c.amplitude, 100.0, 44100.0, 44100));
        EXPECT_EQ(l.getParameter("Peak").getValue(), 1.0f) << c.tresholdDb << " " << c.amplitude;
        const float k = stageGain(l.getResistance());
        EXPECT_LT(k, previous) << c.tresholdDb << " " << c.amplitude;
        EXPECT_GE(k, 0.0066f);
        // The last period comes out inverted (the input's first quarter is positive).
        EXPECT_LT(out[44100 - 441 + 110], 0.0f);
        previous = k;
    }
    EXPECT_LT(previous, 0.02f);
}

// A detector level at or below 1.2 V drives no LED current: from a lit state,
// R rises exactly as a vactrol with no current does.
TEST_F(LimiterTest, DetectorAtOrBelowTheLedThresholdLetsTheResistanceRelax)
{
    driveHard();
    float r = limiter.getResistance();
    ASSERT_LT(r, 1000.0f);
    // The input whose stage output, at the dark gain, rectifies to 1.15 V.
    const LimiterTraitsDetails::FullWaveRectifier rectifier;
    double lo = 0.0;
    double hi = 7.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        (rectifier(static_cast<float>(mid)) < 1.15f ? lo : hi) = mid;
    }
    const float in = -static_cast<float>(lo) / stageGain(1e6f);
    Vactrol<VTL5C7VactrolTraits> reference;
    dyntest::Runner referenceRunner(reference, 44100.0f);
    runner.runConstant(in, 4096);
    for (int i = 0; i < 4096; ++i)
        reference.step(0.0f, r);
    EXPECT_EQ(limiter.getResistance(), r);
    EXPECT_GT(r, 1000.0f);
}

// "Treshold" is a detector gain: after one sample from the dark state, R is
// the vactrol's step on the LED current of the rectified stage output times
// 10^(Treshold / 20), then three dark steps.
TEST_F(LimiterTest, TresholdScalesTheDetector)
{
    const LimiterTraitsDetails::FullWaveRectifier rectifier;
    const LimiterTraitsDetails::PhotoDiodeTransferFunction led;
    struct Case {
        float tresholdDb;
        float in;
    };
    const Case cases[] = {{0.0f, -1.5f}, {20.0f, -0.15f}, {40.0f, -0.015f}, {40.0f, 0.02f}};
    for (const Case& c : cases) {
        limiter.setParameter("Treshold", c.tresholdDb);
        limiter.reset();
        runner.run(std::vector<float>{c.in, 0.0f, 0.0f, 0.0f});
        const float detected =
            rectifier(-stageGain(1e6f) * c.in * std::pow(10.0f, c.tresholdDb / 20.0f));
        ASSERT_GT(detected, 1.2f);
        Vactrol<VTL5C7VactrolTraits> reference;
        dyntest::Runner referenceRunner(reference);
        float r = 1e6f;
        reference.step(led(detected), r);
        for (int i = 0; i < 3; ++i)
            reference.step(0.0f, r);
        EXPECT_NEAR(limiter.getResistance(), r, 1e-4f * r) << c.tresholdDb << " " << c.in;
        EXPECT_LT(r, 0.97e6f);
    }
}

TEST_F(LimiterTest, BadSamplesNeverPoisonTheState)
{
    std::vector<float> input = dyntest::sine(5.0, 100.0, 44100.0, 512);
    for (std::size_t i = 0; i < input.size(); i += 5)
        input[i] = i % 2 ? std::numeric_limits<float>::quiet_NaN()
                         : std::numeric_limits<float>::infinity();
    for (const float y : runner.run(input))
        ASSERT_TRUE(std::isfinite(y));
    EXPECT_TRUE(std::isfinite(limiter.getResistance()));
    EXPECT_TRUE(std::isfinite(limiter.getPeakLed().getCurrent()));
}

TEST(SolidStatePowerAmp, EveryExposedNameReachesItsChild)
{
    PowerAmp amp;
    dyntest::Runner runner(amp);
    struct Case {
        const char* name;
        const char* child;
        const char* target;
        float value;
    };
    const Case cases[] = {
        {"PwrAmpInGainAdjust", "PwrAmpInGainAdjust", "Gain", -6.0f},
        {"Master", "MasterVolume", "Gain", 0.8f},
        {"PreClipperGainAdjust", "PreClipperGainAdjust", "Gain", 3.0f},
        {"LimitTreshold", "Limiter", "Treshold", 12.0f},
        {"LimitEnable", "Limiter", "Enable", 0.0f},
        {"LimitResponsiveness", "Limiter", "Responsiveness", 200.0f},
    };
    std::vector<std::string> names;
    for (const auto& [name, parameter] : amp.getParameters())
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"LimitEnable", "LimitPeak", "LimitResponsiveness",
                                               "LimitTreshold", "Master", "PreClipperGainAdjust",
                                               "PwrAmpInGainAdjust"}));
    for (const Case& c : cases) {
        amp.setParameter(c.name, c.value);
        EXPECT_EQ(amp.getSubModule(c.child).getParameter(c.target).getValue(), c.value) << c.name;
        EXPECT_EQ(amp.getParameter(c.name).getValue(), c.value) << c.name;
    }
    auto& limiter = static_cast<LimiterType&>(amp.getSubModule("Limiter"));
    EXPECT_FALSE(limiter.isEnabled());
    limiter.getParameter("Peak").set(1.0f);
    EXPECT_EQ(amp.getParameter("LimitPeak").getValue(), 1.0f);
    EXPECT_EQ(amp.getParameter("Master").getDefault(), 0.5f);
    EXPECT_EQ(amp.getParameter("PwrAmpInGainAdjust").getMinimum(), -80.0f);
}

TEST(SolidStatePowerAmp, ChainInvertsAndClipsAtMinusTwoDecibels)
{
    PowerAmp amp;
    dyntest::Runner runner(amp);
    amp.setParameter("LimitEnable", 0.0f);
    const std::vector<float> out =
        runner.run(std::vector<float>{0.1f, -0.1f, 5.0f, -5.0f, 1e30f, -1e30f, 0.0f, 0.5f});
    EXPECT_NEAR(out[0], -0.5f * 2.2f * 0.1f, 1e-6f);
    EXPECT_NEAR(out[1], 0.5f * 2.2f * 0.1f, 1e-6f);
    EXPECT_EQ(out[2], -0.7943282f);
    EXPECT_EQ(out[3], 0.7943282f);
    EXPECT_EQ(out[4], -0.7943282f);
    EXPECT_EQ(out[5], 0.7943282f);
    EXPECT_EQ(out[6], 0.0f);
    EXPECT_EQ(out[7], -0.5f * 2.2f * 0.5f);

    // Enabled and dark, a small level comes out inverted at the dark gain times the master volume.
    amp.setParameter("LimitEnable", 1.0f);
    amp.reset();
    const std::vector<float> settled = runner.runConstant(0.01f, 2205);
    EXPECT_NEAR(settled.back(), -0.5f * 2.1297f * 0.01f, 1e-5f);
}

} // namespace
