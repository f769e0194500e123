#include "StageHarness.h"

#include "models/amps/stages/MidEqV9E.h"
#include "models/amps/stages/RKM4ProStages.h"
#include "models/amps/stages/RKMClassicStages.h"
#include "models/amps/stages/V9EStages.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using stagetest::biquadResponse;
using stagetest::dB;
using stagetest::firstOrderResponse;
using stagetest::Harness;

namespace {

template <class Stage> struct UltraHiCase {
    static void check(const std::string& name, double shelfHz)
    {
        for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
            Stage stage;
            Harness harness(stage, rate);
            const std::string where = name + " at " + std::to_string(rate);
            // "Off" is an exact copy.
            const std::vector<float> in = test::noise(1000, 11, 3.0f);
            EXPECT_EQ(harness.run(in), in) << where;

            stage.setParameter("UltraHi", 1.0f);
            const auto& z = stage.getCoefficients();
            EXPECT_NEAR(std::abs(firstOrderResponse(z, 0.0, rate)), 1.0, 1e-5) << where;
            EXPECT_NEAR(std::abs(firstOrderResponse(z, rate / 2.0, rate)), std::sqrt(10.0), 1e-4)
                << where;
            // At the corner the allpass inside the shelf is at -90 degrees:
            // |H|^2 = (1 + V^2) / 2.
            EXPECT_NEAR(dB(std::abs(firstOrderResponse(z, shelfHz, rate))), 10.0 * std::log10(5.5),
                        0.01)
                << where;
            EXPECT_LT(std::fabs(z.a1), 1.0f) << where;
        }
    }
};

TEST(UltraHi, OffCopiesOnLiftsTheTopByTheShelfGain)
{
    UltraHiCase<BorvanRKMClassicHeadTraitsDetails::UltraHi>::check("RKMClassic", 3850.0);
    UltraHiCase<BorvanV9ETraitsDetails::UltraHi>::check("V9E", 3850.0);
    UltraHiCase<BorvanRKM4ProTraitsDetails::UltraHi>::check("RKM4Pro", 2200.0);

    // A 20 kHz tone at 44.1 kHz gains nearly 10 dB, DC none.
    BorvanRKMClassicHeadTraitsDetails::UltraHi stage;
    Harness harness(stage);
    stage.setParameter("UltraHi", 1.0f);
    const double at20k = dB(harness.gainAt(20000.0));
    EXPECT_GT(at20k, 9.5);
    EXPECT_LT(at20k, 10.0);
    const std::vector<float> dc = harness.runConstant(1.0f, 4096);
    EXPECT_NEAR(dc.back(), 1.0f, 1e-5f);
}

TEST(UltraHi, SwitchIsAParameterOfTwoStates)
{
    BorvanV9ETraitsDetails::UltraHi stage;
    Harness harness(stage);
    ParameterBase& p = stage.getParameter("UltraHi");
    EXPECT_EQ(p.getStates().find("Off"), 0.0f);
    EXPECT_EQ(p.getStates().find("On"), 1.0f);
    EXPECT_EQ(p.getDefault(), 0.0f);
    EXPECT_EQ(p.getFlags(), 4u);
}

TEST(UltraLo, OffIsAFlatGain)
{
    struct Case {
        std::string name;
        std::function<std::unique_ptr<BiquadFilter<>>()> make;
        float gain;
    };
    const Case cases[] = {
        {"RKMClassic",
         [] { return std::make_unique<BorvanRKMClassicHeadTraitsDetails::UltraLo>(); }, 0.40738f},
        {"V9E", [] { return std::make_unique<BorvanV9ETraitsDetails::UltraLo>(); }, 0.40738f},
        {"RKM4Pro", [] { return std::make_unique<BorvanRKM4ProTraitsDetails::UltraLo>(); },
         0.12589f},
    };
    for (const Case& c : cases) {
        auto stage = c.make();
        Harness harness(*stage);
        const float g = stage->getCoefficients().b0;
        EXPECT_NEAR(g, c.gain, 1e-5f) << c.name;
        const std::vector<float> in = test::noise(500, 11, 3.0f);
        const std::vector<float> out = harness.run(in);
        for (std::size_t i = 0; i < in.size(); ++i)
            ASSERT_EQ(out[i], g * in[i]) << c.name << " sample " << i;
    }
}

TEST(UltraLo, OnCutsTheMidsBetweenItsPoles)
{
    BorvanRKMClassicHeadTraitsDetails::UltraLo stage;
    Harness harness(stage);
    stage.setParameter("UltraLo", 1.0f);
    const auto& z = stage.getCoefficients();
    EXPECT_NEAR(std::abs(biquadResponse(z, 0.0, 44100.0)), 0.601, 0.001);
    EXPECT_NEAR(std::abs(biquadResponse(z, 22050.0, 44100.0)), 0.401, 0.001);
    EXPECT_NEAR(std::abs(biquadResponse(z, 15000.0, 44100.0)), 0.401, 0.005);
    double dipHz = 0.0, dip = 1.0;
    for (double hz = 50.0; hz < 5000.0; hz *= 1.01) {
        const double m = std::abs(biquadResponse(z, hz, 44100.0));
        if (m < dip) {
            dip = m;
            dipHz = hz;
        }
    }
    EXPECT_NEAR(dipHz, 490.0, 25.0);
    EXPECT_LT(dip, 0.2);
    EXPECT_NEAR(harness.gainAt(dipHz), dip, 0.005);
}

// Each position's curves, read at a knob value.
TEST(MidEq, KnobCurvesInterpolateAndExtendTheirEndSegments)
{
    const MidEqDetails::ParamLinear::ParamCurve curve(
        {-22.0f, -6.0f, -1.5f, 0.0f, 1.0f, 3.5f, 11.0f});
    EXPECT_EQ(curve.evaluate(0.0f), -22.0f);
    EXPECT_EQ(curve.evaluate(0.5f), 0.0f);
    EXPECT_EQ(curve.evaluate(1.0f), 11.0f);
    EXPECT_NEAR(curve.evaluate(0.05f), -14.0f, 1e-5f);
    EXPECT_NEAR(curve.evaluate(0.9f), 7.25f, 1e-5f);
    EXPECT_NEAR(curve.evaluate(-0.1f), -38.0f, 1e-4f);
    EXPECT_NEAR(curve.evaluate(1.1f), 14.75f, 1e-4f);
}

TEST(MidEq, FrequencyStatesRunFromFrq5Upwards)
{
    MidEqDetails::MidEqV9E mid;
    Harness harness(mid);
    ParameterBase& p = mid.getParameter("MidFrequency");
    EXPECT_EQ(p.getStates().find("Frq1"), 4.0f);
    EXPECT_EQ(p.getStates().find("Frq2"), 3.0f);
    EXPECT_EQ(p.getStates().find("Frq3"), 2.0f);
    EXPECT_EQ(p.getStates().find("Frq4"), 1.0f);
    EXPECT_EQ(p.getStates().find("Frq5"), 0.0f);
    EXPECT_EQ(p.getDefault(), 2.0f);
    EXPECT_EQ(p.getFlags(), 4u);
    ParameterBase& g = mid.getParameter("MidGain");
    EXPECT_EQ(g.getMinimum(), 0.0f);
    EXPECT_EQ(g.getMaximum(), 1.0f);
    EXPECT_EQ(g.getDefault(), 0.5f);
}

TEST(MidEq, HalfGainIsFlatAtEveryPosition)
{
    MidEqDetails::MidEqV9E mid;
    Harness harness(mid);
    for (float position = 0.0f; position <= 4.0f; position += 1.0f) {
        mid.setParameter("MidFrequency", position);
        mid.setParameter("MidGain", 0.5f);
        const auto& z = mid.getCoefficients();
        EXPECT_EQ(z.b0, 1.0f) << position;
        EXPECT_EQ(z.b1, z.a1) << position;
        EXPECT_EQ(z.b2, z.a2) << position;
    }
}

TEST(MidEq, FullGainBoostsEachCentreBy11dB)
{
    const double centres[] = {250.0, 530.0, 920.0, 1605.0, 2790.0}; // "Frq5" .. "Frq1"
    MidEqDetails::MidEqV9E mid;
    Harness harness(mid);
    mid.setParameter("MidGain", 1.0f);
    for (int position = 0; position < 5; ++position) {
        mid.setParameter("MidFrequency", static_cast<float>(position));
        EXPECT_NEAR(dB(std::abs(biquadResponse(mid.getCoefficients(), centres[position], 44100.0))),
                    11.0, 0.01)
            << position;
    }
}

TEST(MidEq, Frq3BandEdgesHaveHalfThePeakAtEveryRate)
{
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        MidEqDetails::MidEqV9E mid;
        Harness harness(mid, rate);
        mid.setParameter("MidGain", 1.0f);
        const auto& z = mid.getCoefficients();
        EXPECT_NEAR(dB(std::abs(biquadResponse(z, 920.0, rate))), 11.0, 0.1) << rate;
        EXPECT_NEAR(dB(std::abs(biquadResponse(z, 510.0, rate))), 5.5, 0.1) << rate;
        EXPECT_NEAR(dB(std::abs(biquadResponse(z, 1645.0, rate))), 5.5, 0.1) << rate;
    }
    // Through the module.
    MidEqDetails::MidEqV9E mid;
    Harness harness(mid);
    mid.setParameter("MidGain", 1.0f);
    EXPECT_NEAR(dB(harness.gainAt(920.0)), 11.0, 0.1);
}

TEST(MidEq, AGainOfZeroCutsTheCentre)
{
    MidEqDetails::MidEqV9E mid;
    Harness harness(mid);
    mid.setParameter("MidGain", 0.0f);
    EXPECT_NEAR(dB(std::abs(biquadResponse(mid.getCoefficients(), 920.0, 44100.0))), -22.0, 0.01);
}

} // namespace
