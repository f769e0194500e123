#include "models/stomps/MemoryManInterpolator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace AudioEngine::CX2::MemoryManInterpolator1dDetails;

namespace {

// The rest voltage at depth 0: the float -9.1 widened.
const double kRest = static_cast<double>(-9.1f);

const std::vector<double> kVolts = {-12.0, -9.5,  kRest, -9.05, -8.87,
                                    -8.5,  -8.31, -8.0,  -7.42, -5.0};

} // namespace

TEST(AnalogDelayLaws, TheFinderSplitsTheKnobAtItsMiddleAndNeverExtrapolates)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double k;
        std::uint32_t lo;
        double t;
    } cases[] = {
        {-1.0, 0, 0.0}, {0.0, 0, 0.0}, {0.2, 0, 0.4}, {0.4999, 0, 0.9998}, {0.5, 1, 0.0},
        {0.75, 1, 0.5}, {1.0, 1, 1.0}, {7.0, 1, 1.0}, {nan, 1, 0.0},
    };
    for (const auto& c : cases) {
        const auto cell = Finder::find(c.k);
        EXPECT_EQ(cell.lo, c.lo) << c.k;
        EXPECT_EQ(cell.hi, c.lo + 1) << c.k;
        EXPECT_NEAR(Finder::weight(cell, c.k), c.t, 1e-12) << c.k;
    }
}

TEST(AnalogDelayLaws, TheMeasuredPointsComeBackAndTheCurvesGoOnStraight)
{
    const Interpolator laws;
    const struct {
        const VoltageToPcrLaw& law;
        const AudioEngine::AudioMath::Curve2<AudioEngine::AudioMath::Curve2Traits<double>>& knots;
        const double* ratios;
        double startSlope, endSlope;
    } curves[] = {
        {laws.law(1), VoltageToPcrLawDelayTimeKnob05::spline().getKnots(),
         VoltageToPcrLawDelayTimeKnob05Curve::ratios, -0.1047706, 0.001209},
        {laws.law(2), VoltageToPcrLawDelayTimeKnob10::spline().getKnots(),
         VoltageToPcrLawDelayTimeKnob10Curve::ratios, -0.3009442, 0.0029925},
    };
    for (const auto& c : curves) {
        const std::size_t n = c.knots.size();
        for (std::size_t i = 0; i < n; ++i) {
            const double v = c.knots[i].x;
            EXPECT_NEAR(v, kRest + 0.1 * double(i), 1e-6) << i;
            EXPECT_DOUBLE_EQ(c.law(v), c.ratios[i]) << i;
            EXPECT_EQ(float(c.law(v)), float(c.ratios[i])) << i;
        }
        // Beyond both ends: straight on with the measured end slopes.
        const double first = c.knots.front().x, last = c.knots.back().x;
        for (double dv : {1e-3, 0.3, 2.0}) {
            EXPECT_NEAR(c.law(last + dv), c.ratios[n - 1] + dv * c.endSlope, 1e-12) << dv;
            EXPECT_NEAR(c.law(first - dv), 1.0 - dv * c.startSlope, 1e-12) << dv;
        }
    }
    // The two curves' last points: -8.3 V and -8.5 V.
    EXPECT_NEAR(VoltageToPcrLawDelayTimeKnob05::spline().getXLast(), -8.3, 1e-6);
    EXPECT_NEAR(VoltageToPcrLawDelayTimeKnob10::spline().getXLast(), -8.5, 1e-6);

    // The short end's law is the straight line through 1 at -9.1 V.
    EXPECT_NEAR(laws.law(0)(-9.1), 1.0, 1e-15);
    EXPECT_NEAR(laws.law(0)(-8.1), 0.9826282, 1e-15);
}

TEST(AnalogDelayLaws, AtTheRestVoltageEveryKnobPositionGivesExactlyOne)
{
    const Interpolator laws;
    for (int step = -10; step <= 110; ++step) {
        const double k = step / 100.0;
        EXPECT_EQ(float(laws.interpolate(kRest, k)), 1.0f) << k;
    }
}

TEST(AnalogDelayLaws, TheKnobsEndsAndMiddleUseOneLawAndBlendLinearlyBetween)
{
    const Interpolator laws;
    for (double v : kVolts) {
        const double l0 = laws.law(0)(v), l1 = laws.law(1)(v), l2 = laws.law(2)(v);
        EXPECT_EQ(laws.interpolate(v, 0.0), l0) << v;
        EXPECT_EQ(laws.interpolate(v, 0.5), l1) << v;
        EXPECT_EQ(laws.interpolate(v, 1.0), l2) << v;
        EXPECT_NEAR(laws.interpolate(v, 0.1), 0.8 * l0 + 0.2 * l1, 1e-15) << v;
        EXPECT_NEAR(laws.interpolate(v, 0.25), 0.5 * (l0 + l1), 1e-15) << v;
        EXPECT_NEAR(laws.interpolate(v, 0.9), 0.2 * l1 + 0.8 * l2, 1e-15) << v;
        // Knob positions beyond the grid hold its end laws.
        EXPECT_EQ(laws.interpolate(v, -0.3), l0) << v;
        EXPECT_EQ(laws.interpolate(v, 1.7), l2) << v;
    }
    // A higher voltage shortens the delay, and the more so the longer the knob.
    EXPECT_LT(laws.interpolate(-8.6, 1.0), laws.interpolate(-8.6, 0.5));
    EXPECT_LT(laws.interpolate(-8.6, 0.5), laws.interpolate(-8.6, 0.0));
    EXPECT_LT(laws.interpolate(-8.6, 0.0), 1.0);
}
