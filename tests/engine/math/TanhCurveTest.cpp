#include "engine/math/TanhCurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace AudioEngine::CX2::DynacompCompSectionDetails;

namespace {

TEST(TanhCurve, HasItsKnotsAtTheRoundedPositions)
{
    const TanhCurve curve;
    ASSERT_EQ(curve.size(), 201u);
    EXPECT_EQ(curve.front().x, -10.0f);
    EXPECT_EQ(curve.back().x, 10.0f);
    EXPECT_EQ(curve[100].x, -2.2351742e-7f);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        EXPECT_NEAR(curve[i].x, -10.0 + 0.1 * static_cast<double>(i), 1e-6);
        EXPECT_EQ(curve[i].y, static_cast<float>(std::tanh(static_cast<double>(curve[i].x))));
    }
}

TEST(TanhCurve, SplineIsPlusMinusOneAtTheEndsAndFlatBeyond)
{
    const TanhSpline spline;
    EXPECT_EQ(spline.evaluate(-10.0f), -1.0f);
    EXPECT_EQ(spline.evaluate(10.0f), 1.0f);
    EXPECT_EQ(spline.evaluateUniform(-10.0f), -1.0f);
    EXPECT_EQ(spline.evaluateUniform(10.0f), 1.0f);
    for (float x : {-10.001f, -12.0f, -30.0f, -100.0f}) {
        EXPECT_NEAR(spline.evaluate(x), -1.0f, 1e-6) << x;
        EXPECT_NEAR(spline.evaluateUniform(x), -1.0f, 1e-6) << x;
    }
    for (float x : {10.001f, 12.0f, 30.0f, 100.0f}) {
        EXPECT_NEAR(spline.evaluate(x), 1.0f, 1e-6) << x;
        EXPECT_NEAR(spline.evaluateUniform(x), 1.0f, 1e-6) << x;
    }
}

TEST(TanhCurve, UniformFinderAgreesWithBinarySearch)
{
    const TanhSpline spline;
    for (float x = -10.5f; x <= 10.5f; x += 0.00731f) {
        EXPECT_NEAR(spline.evaluateUniform(x), spline.evaluate(x), 2e-7) << x;
        EXPECT_NEAR(spline.evaluate(x), std::tanh(x), 2e-5) << x;
    }
    // On the knots themselves too, where rounding may pick the neighbour segment.
    for (const auto& knot : spline.getKnots())
        EXPECT_NEAR(spline.evaluateUniform(knot.x), knot.y, 2e-7) << knot.x;
}

TEST(TanhCurve, JustBelowTheLastKnotTheUniformIndexStaysInTheLastSegment)
{
    const TanhSpline spline;
    const float x = std::nextafter(spline.getXLast(), -std::numeric_limits<float>::infinity());
    const auto& finder = spline.getUniformFinder();
    // The raw index rounds up to N - 1, one past the last segment ...
    EXPECT_EQ(static_cast<std::int32_t>((x - finder.xFirst) * finder.scale), 200);
    // ... which the finder limits.
    EXPECT_EQ(spline.findUniformSegment(x), spline.getLastSegment());
    EXPECT_EQ(spline.getLastSegment(), 199);
    EXPECT_NEAR(spline.evaluateUniform(x), 1.0f, 1e-6);
}

} // namespace
