#include "engine/math/SplineCubic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

using namespace AudioEngine::AudioMath;

namespace {

template <class T, SplineEnds E, SplineFinder F> struct TestTraits {
    using Curve = Curve2<Curve2Traits<T>>;
    static constexpr SplineEnds ends = E;
    static constexpr SplineFinder finder = F;
    static constexpr T startSlope = 0;
    static constexpr T endSlope = 0;
};

template <class T, SplineFinder F = SplineFinder::BinarySearch>
using Clamped = SplineCubic<TestTraits<T, SplineEnds::Clamped, F>>;
template <class T, SplineFinder F = SplineFinder::BinarySearch>
using Natural = SplineCubic<TestTraits<T, SplineEnds::Natural, F>>;

template <class T> using Knots = Curve2<Curve2Traits<T>>;

// count samples of f spread evenly over [x0, x1].
template <class T>
Knots<T> sampled(const std::function<double(double)>& f, int count, float x0, float x1)
{
    std::vector<T> table(static_cast<std::size_t>(count));
    Knots<T> grid(table.data(), count, x0, x1); // the x positions the spline will use
    for (int i = 0; i < count; ++i)
        table[static_cast<std::size_t>(i)] =
            static_cast<T>(f(static_cast<double>(grid[static_cast<std::size_t>(i)].x)));
    return Knots<T>(table.data(), count, x0, x1);
}

// Knots at uneven spacing, for the binary search.
Knots<float> uneven()
{
    Knots<float> k;
    for (float x : {-2.0f, -1.5f, -0.25f, 0.0f, 0.1f, 0.7f, 1.9f, 2.0f, 3.5f})
        k.push_back({x, std::sin(x)});
    return k;
}

// Second derivative at x_i from segment i (u = 1) and at x_i+1 (u = 0).
template <class S> double curvatureAtLeft(const S& spline, std::size_t i)
{
    const auto& s = spline.getSegments()[i];
    return (6.0 * s.a + 2.0 * s.b) * s.invH * s.invH;
}
template <class S> double curvatureAtRight(const S& spline, std::size_t i)
{
    const auto& s = spline.getSegments()[i];
    return 2.0 * s.b * s.invH * s.invH;
}

struct SplineCase {
    std::string name;
    std::function<void()> check;
};

template <class S> void checkStraightLine()
{
    using T = typename S::Value;
    // y = 2x + 1 on integer knots: every slope between knots is exactly 2.
    const Knots<T> line = sampled<T>([](double x) { return 2.0 * x + 1.0; }, 11, 0.0f, 10.0f);
    const S spline(line, T(2), T(2));
    for (const auto& s : spline.getSegments()) {
        EXPECT_EQ(s.a, T(0));
        EXPECT_EQ(s.b, T(0));
    }
    for (double x = -3.0; x <= 13.0; x += 0.37)
        EXPECT_NEAR(spline.evaluate(static_cast<T>(x)), 2.0 * static_cast<T>(x) + 1.0, 1e-5)
            << "x = " << x;
}

const std::vector<SplineCase>& cases()
{
    static const std::vector<SplineCase> list = {
        {"StraightLineWithMatchingEndSlopesHasNoCurvatureAndIsReproducedInsideAndOutside",
         [] {
             checkStraightLine<Clamped<float>>();
             checkStraightLine<Clamped<double>>();
             checkStraightLine<Clamped<float, SplineFinder::Uniform>>();
             checkStraightLine<Clamped<double, SplineFinder::Uniform>>();
         }},
        {"EndKnotsGiveTheEndSamplesExactly",
         [] {
             const Knots<float> k =
                 sampled<float>([](double x) { return std::sin(3.0 * x) + 0.2; }, 17, -1.3f, 2.1f);
             const Clamped<float> clamped(k, 0.4f, -0.7f);
             const Natural<float, SplineFinder::Uniform> natural(k);
             for (float x : {k.front().x, k.back().x}) {
                 const float y = x == k.front().x ? k.front().y : k.back().y;
                 EXPECT_EQ(clamped.evaluate(x), y);
                 EXPECT_EQ(natural.evaluate(x), y);
                 EXPECT_EQ(natural.evaluateUniform(x), y);
             }
         }},
        {"BeyondTheKnotsTheCurveContinuesWithTheEndSlopes",
         [] {
             const Clamped<float> spline(uneven(), 1.0f, -0.9f);
             for (float x : {-2.5f, -100.0f, -2.0000002f}) {
                 const double want =
                     (double(x) - spline.getXFirst()) * spline.getSlopeFirst() + spline.getYFirst();
                 EXPECT_FLOAT_EQ(spline.evaluate(x), static_cast<float>(want)) << x;
             }
             for (float x : {3.6f, 50.0f, 3.5000002f}) {
                 const double want =
                     (double(x) - spline.getXLast()) * spline.getSlopeLast() + spline.getYLast();
                 EXPECT_FLOAT_EQ(spline.evaluate(x), static_cast<float>(want)) << x;
             }
             EXPECT_DOUBLE_EQ(spline.slope(-7.0f), spline.getSlopeFirst());
             EXPECT_DOUBLE_EQ(spline.slope(9.0f), spline.getSlopeLast());
         }},
        {"ClampedSplineReproducesItsEndSlopes",
         [] {
             const Knots<float> k =
                 sampled<float>([](double x) { return std::sin(x); }, 31, 0.0f, 3.0f);
             const Clamped<float> spline(k, 1.0f, std::cos(3.0f));
             EXPECT_NEAR(spline.getSlopeFirst(), 1.0f, 1e-5);
             EXPECT_NEAR(spline.getSlopeLast(), std::cos(3.0f), 1e-5);
             EXPECT_EQ(spline.getStartSlope(), 1.0f);
             // And the curve between the knots is the sine it sampled.
             for (float x = 0.05f; x < 3.0f; x += 0.1f)
                 EXPECT_NEAR(spline.evaluate(x), std::sin(x), 2e-6) << x;
         }},
        {"NaturalSplineHasZeroCurvatureAtBothEnds",
         [] {
             const Knots<float> k =
                 sampled<float>([](double x) { return std::exp(x); }, 12, -1.0f, 2.0f);
             const auto m = Natural<float>::solveNaturalSecondDerivatives(k);
             EXPECT_EQ(m.front(), 0.0f);
             EXPECT_EQ(m.back(), 0.0f);
             EXPECT_GT(m[5], 0.0f); // while the inside is curved
             const Natural<float> spline(k);
             const std::size_t last = spline.getSegments().size() - 1;
             EXPECT_NEAR(curvatureAtLeft(spline, 0), 0.0, 1e-5);
             EXPECT_EQ(curvatureAtRight(spline, last), 0.0);
             EXPECT_NEAR(curvatureAtLeft(spline, 5), m[5], 1e-4 * m[5]);
         }},
        {"TwoKnotsGiveOneSegmentAndBinarySearchAnswersZeroEverywhere",
         [] {
             Knots<float> k;
             k.push_back({1.0f, 2.0f});
             k.push_back({3.0f, -1.0f});
             const Clamped<float> spline(k, 0.0f, 0.0f);
             EXPECT_EQ(spline.getSegments().size(), 1u);
             EXPECT_EQ(spline.getLastSegment(), 0);
             for (float x : {-5.0f, 1.0f, 1.5f, 2.9999998f, 3.0f, 8.0f,
                             std::numeric_limits<float>::quiet_NaN()})
                 EXPECT_EQ(spline.findSegment(x), 0) << x;
         }},
        {"AKnotInsideFallsInTheSegmentItStarts",
         [] {
             const Knots<float> k = uneven();
             const Clamped<float> spline(k, 0.0f, 0.0f);
             for (std::size_t i = 1; i + 1 < k.size(); ++i)
                 EXPECT_EQ(spline.findSegment(k[i].x), static_cast<std::int32_t>(i));
             // Outside: the last segment above, segment 0 below and for NaN.
             EXPECT_EQ(spline.findSegment(k.back().x), spline.getLastSegment());
             EXPECT_EQ(spline.findSegment(k.front().x), 0);
             EXPECT_EQ(spline.findSegment(std::numeric_limits<float>::quiet_NaN()), 0);
         }},
        {"FloatAndDoubleSplinesAgree",
         [] {
             const Knots<float> kf =
                 sampled<float>([](double x) { return std::tanh(2.0 * x); }, 41, -2.0f, 2.0f);
             Knots<double> kd;
             for (const auto& p : kf)
                 kd.push_back({p.x, p.y});
             const Clamped<float, SplineFinder::Uniform> f(kf, 0.01f, 0.01f);
             const Clamped<double, SplineFinder::Uniform> d(kd, 0.01, 0.01);
             for (float x = -2.5f; x <= 2.5f; x += 0.0123f) {
                 EXPECT_NEAR(f.evaluate(x), d.evaluate(x), 1e-6) << x;
                 EXPECT_NEAR(f.evaluateUniform(x), d.evaluateUniform(x), 1e-6) << x;
                 EXPECT_NEAR(f.slope(x), d.slope(x), 1e-4) << x;
             }
         }},
        {"NaNInputGivesNaNOutput",
         [] {
             const Natural<float, SplineFinder::Uniform> spline(
                 sampled<float>([](double x) { return x * x; }, 9, 0.0f, 1.0f));
             EXPECT_TRUE(std::isnan(spline.evaluate(std::numeric_limits<float>::quiet_NaN())));
             EXPECT_TRUE(
                 std::isnan(spline.evaluateUniform(std::numeric_limits<float>::quiet_NaN())));
         }},
        {"FewerThanTwoKnotsOrKnotsOutOfOrderAreRefused",
         [] {
             EXPECT_THROW(Clamped<float>(Knots<float>{}), std::invalid_argument);
             Knots<float> one;
             one.push_back({0.0f, 1.0f});
             EXPECT_THROW(Clamped<float>(one, 0.0f, 0.0f), std::invalid_argument);
             EXPECT_THROW(Natural<double>(Knots<double>{}), std::invalid_argument);
             Knots<float> backwards;
             backwards.push_back({1.0f, 0.0f});
             backwards.push_back({1.0f, 1.0f});
             EXPECT_THROW(Natural<float>{backwards}, std::invalid_argument);
         }},
        {"SampledCurveSpreadsItsKnotsEvenly",
         [] {
             const float table[5] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
             const Knots<float> k(table, 5, -1.0f, 1.0f);
             ASSERT_EQ(k.size(), 5u);
             const float xs[5] = {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f};
             for (std::size_t i = 0; i < 5; ++i) {
                 EXPECT_EQ(k[i].x, xs[i]);
                 EXPECT_EQ(k[i].y, table[i]);
             }
             // A double curve over float bounds keeps the bounds' float values.
             const double dtable[3] = {0.0, 0.0, 0.0};
             const Knots<double> kd(dtable, 3, -1.8e-5f, 0.000999f);
             EXPECT_EQ(kd.front().x, static_cast<double>(-1.8e-5f));
             EXPECT_EQ(kd.back().x, static_cast<double>(0.000999f));
         }},
    };
    return list;
}

class SplineCubicCases : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SplineCubicCases, Holds)
{
    cases()[GetParam()].check();
}

INSTANTIATE_TEST_SUITE_P(Spline, SplineCubicCases, ::testing::Range<std::size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return cases()[info.param].name;
                         });

} // namespace
