#include "engine/math/SplineCubicShear.h"
#include "engine/math/SplineCubicShearIndexed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

using namespace AudioEngine::AudioMath;

namespace {

using Knots = Curve2<Curve2Traits<float>>;

// A junction: i = 1e-9 (exp(v / 0.05) - 1), 101 points over -1 .. 1 V.
double junction(double v)
{
    return 1e-9 * (std::exp(v / 0.05) - 1.0);
}

struct JunctionCurve : Knots {
    JunctionCurve()
    {
        std::vector<float> table(101);
        Knots grid(table.data(), 101, -1.0f, 1.0f);
        for (std::size_t k = 0; k < table.size(); ++k)
            table[k] = static_cast<float>(junction(grid[k].x));
        setFromTable(table.data(), 101, -1.0f, 1.0f);
    }
};

// The junction in series with a resistor of 100 ohm, the K of a K-method loop.
constexpr float kK = -100.0f;

// Solves i = junction(p + K i) for i by bisection, the answer the sheared
// spline gives without iterating.
double solved(double p)
{
    double lo = -1.0, hi = 1.0; // amperes
    for (int k = 0; k < 200; ++k) {
        const double mid = 0.5 * (lo + hi);
        (mid - junction(p + kK * mid) > 0.0 ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

} // namespace

TEST(SplineCubicShear, KnotsAreShearedAndTheSplineSolvesTheLoop)
{
    const JunctionCurve curve;
    const SplineCubicShear<JunctionCurve> g(kK);
    ASSERT_EQ(g.getKnots().size(), curve.size());
    for (std::size_t k = 0; k < curve.size(); ++k) {
        EXPECT_FLOAT_EQ(g.getKnots()[k].x, curve[k].x - kK * curve[k].y) << k;
        EXPECT_EQ(g.getKnots()[k].y, curve[k].y) << k;
        // At a knot the spline gives the knot's current exactly.
        EXPECT_NEAR(g.evaluate(g.getKnots()[k].x), curve[k].y,
                    1e-6f * std::fabs(curve[k].y) + 1e-12f)
            << k;
    }
    EXPECT_EQ(g.getShear(), kK);
    // Natural ends: S'' = 0 at both end knots (6 a + 2 b at the left end of
    // the first segment, 2 b at the right end of the last).
    EXPECT_NEAR(6.0 * g.getSegments().front().a + 2.0 * g.getSegments().front().b, 0.0, 1e-12);
    EXPECT_EQ(g.getSegments().back().b, 0.0f);
    // Between the knots it solves i = f(p + K i), in the conducting part to a
    // fraction of a percent of the current.
    for (double p : {0.2, 0.5, 0.9, 1.3, 1.9, 2.5}) {
        const double expected = solved(p);
        EXPECT_NEAR(g.evaluate(static_cast<float>(p)), expected, 0.01 * std::fabs(expected) + 1e-7)
            << p;
    }
}

TEST(SplineCubicShear, NoShearIsThePlainNaturalSpline)
{
    const SplineCubicShear<JunctionCurve> sheared(0.0f);
    const SplineCubic<SplineCubicNaturalTraits<JunctionCurve>> plain;
    for (float x : {-2.0f, -0.95f, -0.1f, 0.0f, 0.33f, 0.71f, 0.999f, 3.0f})
        EXPECT_EQ(sheared.evaluate(x), plain.evaluate(x)) << x;
}

TEST(SplineCubicShear, AShearThatFoldsTheCurveIsRefused)
{
    // A positive K makes x - K y fall where the junction conducts hard.
    EXPECT_THROW(SplineCubicShear<JunctionCurve>(100.0f), std::invalid_argument);
    EXPECT_THROW(SplineCubicShearUniform<JunctionCurve>(100.0f), std::invalid_argument);
}

TEST(SplineCubicShearUniform, ResamplesTheShearedSplineEvenlyAndHoldsItsEnds)
{
    const SplineCubicShear<JunctionCurve> sheared(kK);
    const SplineCubicShearUniform<JunctionCurve> g(kK);
    const auto& knots = g.getKnots();
    ASSERT_EQ(knots.size(), 101u);
    EXPECT_EQ(g.getXFirst(), sheared.getXFirst());
    EXPECT_FLOAT_EQ(g.getXLast(), sheared.getXLast());
    const float step = (sheared.getXLast() - sheared.getXFirst()) / 100.0f;
    for (std::size_t j = 0; j < knots.size(); ++j) {
        EXPECT_NEAR(knots[j].x, sheared.getXFirst() + static_cast<float>(j) * step,
                    1e-4f * std::fabs(step))
            << j;
        EXPECT_EQ(knots[j].y, sheared.evaluate(knots[j].x)) << j;
    }
    // Clamped ends with slopes 0: beyond the range the end samples hold.
    EXPECT_EQ(g.getStartSlope(), 0.0f);
    EXPECT_EQ(g.getEndSlope(), 0.0f);
    EXPECT_NEAR(g.evaluateUniform(g.getXLast() + 50.0f), g.getYLast(),
                1e-6f * std::fabs(g.getYLast()));
    EXPECT_NEAR(g.evaluateUniform(g.getXFirst() - 50.0f), g.getYFirst(), 1e-9f);
    // The uniform finder agrees with the binary search everywhere inside.
    for (float p = g.getXFirst(); p < g.getXLast(); p += 0.37f * step)
        EXPECT_EQ(g.evaluateUniform(p), g.evaluate(p)) << p;
}

TEST(SplineCubicShearUniformMatrix, TakesAndGivesOneByOneMatrices)
{
    Matrix<float, 1, 1> k;
    k[0] = kK;
    const SplineCubicShearUniformMatrix<JunctionCurve> g(k);
    const SplineCubicShearUniform<JunctionCurve> scalar(kK);
    for (float p : {-3.0f, -0.5f, 0.4f, 1.1f, 2.0f, 50.0f}) {
        Matrix<float, 1, 1> in;
        in[0] = p;
        EXPECT_EQ(g.evaluateUniform(in)[0], scalar.evaluateUniform(p)) << p;
        EXPECT_EQ(g.evaluateUniform(p), scalar.evaluateUniform(p)) << p;
    }
}

// The bucket index finds the binary search's segment: every knot, its float
// neighbours, a fine sweep across the sheared range and past its ends, the
// non-numbers, for a mild and a strong shear (knots bunched where the
// junction conducts).
TEST(SplineCubicShearIndexed, GivesTheBinarySearchsValuesBitForBit)
{
    for (float k : {kK, -1e4f}) {
        const SplineCubicShear<JunctionCurve> plain(k);
        const SplineCubicShearIndexed<JunctionCurve> indexed(k);
        std::vector<float> xs = {std::nanf(""), INFINITY, -INFINITY, 0.0f, -0.0f};
        for (const auto& knot : plain.getKnots())
            xs.insert(xs.end(), {knot.x, std::nextafter(knot.x, -INFINITY),
                                 std::nextafter(knot.x, INFINITY)});
        const float lo = plain.getXFirst() - 1.0f, hi = plain.getXLast() + 1.0f;
        for (int j = 0; j <= 20000; ++j)
            xs.push_back(lo + (hi - lo) * static_cast<float>(j) / 20000.0f);
        int mismatches = 0;
        for (float x : xs) {
            const float want = plain.evaluate(x), got = indexed.evaluate(x);
            if (std::memcmp(&want, &got, sizeof want) != 0 && ++mismatches < 5)
                ADD_FAILURE() << "K " << k << ", x " << x << ": " << got << " against " << want;
        }
        EXPECT_EQ(mismatches, 0) << k;
    }
}
