// The supply grid of the tube power amps: the cell finder, the blend weights
// of the nine grid points (over indicator functions, one triple lit at a
// time) and the real curve triples with their limited lookups.
#include "models/amps/power/PowerAmpStageTable.h"
#include "models/amps/power/PowerAmpTraits.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::AudioMath;
using namespace AudioEngine::BorvanQom;
using Interpolator2To3Details::Cell;
using Interpolator2To3Details::Point;
using Result3 = InterpolatorMultiDetails::Result3;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using V50Grid = PowerAmpBorvanV9E_50WTraitsDetails::Grid;

// Triple n answers (1, x, n) when it is the lit one and zeros otherwise, so
// the blend of the lit triple's first output is its weight.
int gLit = 0;
struct Indicator {
    int n;
    Result3 evaluate(float x) const
    {
        Result3 r;
        if (n == gLit)
            r.data = {1.0f, x, static_cast<float>(n)};
        return r;
    }
};
struct Indicators {
    using Function = Indicator;
    static Function make(int n) { return Indicator{n}; }
};
using IndicatorInterpolator = Interpolator2To3Details::Interpolator<V50Grid, Indicators>;

std::array<float, 9> weights(const IndicatorInterpolator& interpolator,
                             const Interpolator2To3Details::Finder<V50Grid>& finder, Point p)
{
    std::array<float, 9> w{};
    for (int n = 1; n <= 9; ++n) {
        gLit = n;
        const Result3 r = interpolator.interpolate(0.25f, p, finder.find(p));
        w[static_cast<std::size_t>(n - 1)] = r[0];
        EXPECT_EQ(r[1], 0.25f * r[0]) << "x reaches the grid point unchanged";
    }
    gLit = 0;
    return w;
}

std::string cellText(const Cell& c)
{
    return "(" + std::to_string(c.lo0) + ", " + std::to_string(c.hi0) + ", " +
           std::to_string(c.lo1) + ", " + std::to_string(c.hi1) + ")";
}

} // namespace

TEST(PowerAmpGrid, TheGridsOfTheThreeModels)
{
    const V50Grid v50;
    const PowerAmpBorvanV9E_100WTraitsDetails::Grid v100;
    const PowerAmpBorvanRKMClassicHeadTraitsDetails::Grid rkm;
    EXPECT_EQ(v50.axis0, (std::array<float, 3>{415.0f, 485.0f, 500.0f}));
    EXPECT_EQ(v50.axis1, (std::array<float, 3>{410.0f, 484.0f, 510.0f}));
    EXPECT_EQ(v100.axis0, v50.axis0);
    EXPECT_EQ(v100.axis1, v50.axis1);
    EXPECT_EQ(rkm.axis0, (std::array<float, 3>{400.0f, 660.0f, 750.0f}));
    EXPECT_EQ(rkm.axis1, (std::array<float, 3>{280.0f, 345.0f, 450.0f}));
    EXPECT_TRUE(v50.ready);
    EXPECT_FLOAT_EQ(v50.inv0[0], 1.0f / 70.0f);
    EXPECT_FLOAT_EQ(rkm.inv1[1], 1.0f / 105.0f);
}

TEST(PowerAmpGrid, TheFinderHalvesEachAxis)
{
    const V50Grid grid;
    const Interpolator2To3Details::Finder<V50Grid> finder(grid);
    struct Case {
        Point p;
        Cell expected;
    } cases[] = {
        {{485.0f, 484.0f}, {1, 2, 1, 2}},         // the centre, exactly on axis[1]
        {{500.0f, 510.0f}, {1, 2, 1, 2}},         // the top values
        {{484.99997f, 483.99997f}, {0, 1, 0, 1}}, // just below axis[1]
        {{415.0f, 410.0f}, {0, 1, 0, 1}},         // the bottom values
        {{100.0f, 2000.0f}, {0, 1, 1, 2}},        // off the grid both ways
        {{kNaN, -kInf}, {0, 1, 0, 1}},            // a NaN lands low
        {{kInf, 497.0f}, {1, 2, 1, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cellText(finder.find(c.p)), cellText(c.expected)) << c.p.s0 << ", " << c.p.s1;
}

TEST(PowerAmpGrid, BlendWeightsPickTheTriplesAroundThePoint)
{
    const V50Grid grid;
    const Interpolator2To3Details::Finder<V50Grid> finder(grid);
    const IndicatorInterpolator interpolator(grid);
    using W = std::array<float, 9>;
    struct Case {
        const char* name;
        Point p;
        W expected;
    } cases[] = {
        {"the centre point is triple 5 alone", {485.0f, 484.0f}, W{0, 0, 0, 0, 1, 0, 0, 0, 0}},
        {"the top values are triple 9 alone", {500.0f, 510.0f}, W{0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"the middle of the lowest cell blends 1, 2, 4, 5",
         {450.0f, 447.0f},
         W{0.25f, 0.25f, 0, 0.25f, 0.25f, 0, 0, 0, 0}},
        {"s0 far below blends 4 and 7 on the upper s1 cell",
         {100.0f, 497.0f},
         W{0, 0, 0, 0.5f, 0, 0, 0.5f, 0, 0}},
        {"s0 far below blends 1 and 4 on the lower s1 cell",
         {100.0f, 447.0f},
         W{0.5f, 0, 0, 0.5f, 0, 0, 0, 0, 0}},
        {"s0 far below at the centre s1 is triple 4 alone",
         {-1e30f, 484.0f},
         W{0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {"beyond the top both ways holds triple 9", {900.0f, kInf}, W{0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"NaN supplies fall to the lowest triple", {kNaN, kNaN}, W{1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"s1 above with s0 between 5 and 6", {492.5f, 600.0f}, W{0, 0, 0, 0, 0, 0, 0, 0.5f, 0.5f}},
    };
    for (const Case& c : cases) {
        const W w = weights(interpolator, finder, c.p);
        for (std::size_t k = 0; k < 9; ++k)
            EXPECT_NEAR(w[k], c.expected[k], 1e-6f) << c.name << ": triple " << k + 1;
    }
    // Exactly, where one triple stands alone.
    EXPECT_EQ(weights(interpolator, finder, {485.0f, 484.0f})[4], 1.0f);
    EXPECT_EQ(weights(interpolator, finder, {500.0f, 510.0f})[8], 1.0f);
}

namespace {

struct ModelCase {
    const char* label;
    const PowerCurveTable* tables;
};

template <class L1Traits> struct ModelGrid {
    using Grid = typename L1Traits::Grid;
    Grid grid;
    Interpolator2To3Details::Finder<Grid> finder{grid};
    Interpolator2To3Details::Interpolator<Grid, typename L1Traits::Interpolators> interpolator{
        grid};

    Result3 at(float x, Point p) const { return interpolator.interpolate(x, p, finder.find(p)); }
};

template <class L1Traits>
void expectCornersAndLimits(const char* label, const PowerCurveTable* tables)
{
    SCOPED_TRACE(label);
    const ModelGrid<L1Traits> m;
    const auto& centre = m.interpolator.triple(5);
    const auto& top = m.interpolator.triple(9);
    const Point pCentre{m.grid.axis0[1], m.grid.axis1[1]};
    const Point pTop{m.grid.axis0[2], m.grid.axis1[2]};
    for (float x : {-5.0f, -0.3f, 0.0f, 0.01f, 1.7f, 31.0f}) {
        EXPECT_EQ(m.at(x, pCentre), centre.evaluate(x)) << x;
        EXPECT_EQ(m.at(x, pTop), top.evaluate(x)) << x;
    }
    // Every one of the 27 curves holds its end samples beyond its range,
    // exactly, and a NaN drive reads the first sample.
    for (int n = 1; n <= 9; ++n) {
        const auto& f = m.interpolator.triple(n).getFunction();
        const CX2::PowerAmpFunction::Spline* splines[3] = {&f.getVOut(), &f.getI1(), &f.getI2()};
        for (std::size_t kind = 0; kind < 3; ++kind) {
            const PowerCurveTable& t =
                powerCurveTable(tables, static_cast<PowerCurveKind>(kind), n);
            const float first = t.samples[0], last = t.samples[kPowerCurvePoints - 1];
            const Result3 beyond = m.interpolator.triple(n).evaluate(1e6f);
            const Result3 below = m.interpolator.triple(n).evaluate(-kInf);
            const Result3 nan = m.interpolator.triple(n).evaluate(kNaN);
            EXPECT_EQ(beyond[kind], last) << t.name;
            EXPECT_EQ(below[kind], first) << t.name;
            EXPECT_EQ(nan[kind], first) << t.name;
            EXPECT_EQ(evaluateLimited(*splines[kind], splines[kind]->getXLast()), last) << t.name;
            // The float just below the last knot stays in the last segment.
            const float inside = std::nextafter(splines[kind]->getXLast(), 0.0f);
            EXPECT_EQ(evaluateLimited(*splines[kind], inside), splines[kind]->evaluate(inside))
                << t.name;
        }
    }
}

} // namespace

TEST(PowerAmpGrid, RealTriplesStandAloneOnTheirGridPointsAndHoldTheirEnds)
{
    expectCornersAndLimits<PowerAmpBorvanV9E_50WL1Traits>(
        "V9E 50W", PowerAmpBorvanV9E_50WTraitsDetails::CurveTables::kTables);
    expectCornersAndLimits<PowerAmpBorvanV9E_100WL1Traits>(
        "V9E 100W", PowerAmpBorvanV9E_100WTraitsDetails::CurveTables::kTables);
    expectCornersAndLimits<PowerAmpBorvanRKMClassicHeadL1Traits>(
        "RKM Classic", PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveTables::kTables);
}

TEST(PowerAmpGrid, OutputAtZeroDriveOnTheGrid)
{
    const ModelGrid<PowerAmpBorvanV9E_50WL1Traits> v50;
    const ModelGrid<PowerAmpBorvanRKMClassicHeadL1Traits> rkm;
    // 0 on the V9E, up to the rounding of the stored segment coefficients.
    for (int n = 1; n <= 9; ++n)
        EXPECT_NEAR(v50.interpolator.triple(n).evaluate(0.0f)[0], 0.0f, 1e-7f) << n;
    EXPECT_NEAR(v50.at(0.0f, {450.0f, 447.0f})[0], 0.0f, 1e-7f);
    for (int n : {5, 9}) {
        const float v = rkm.interpolator.triple(n).evaluate(0.0f)[0];
        EXPECT_LT(v, 0.0f) << n;
        EXPECT_GT(v, -3.0f) << n;
    }
    // Currents are drawn: negative at every grid point, the idle ones small.
    const Result3 idle = v50.at(0.0f, {485.0f, 484.0f});
    EXPECT_NEAR(idle[1], -0.0533f, 5e-5f);
    EXPECT_NEAR(idle[2], -0.00439f, 5e-6f);
}

namespace {

// The sample loop's layout, given the cell and finding it itself, against the
// generic interpolator, bit for bit: a drive sweep past both ends of every
// curve, the knots themselves, the non-numbers, at points inside, on and off
// the grid's cells.
template <class L1Traits> void expectStageTableMatches(const char* label)
{
    SCOPED_TRACE(label);
    const ModelGrid<L1Traits> m;
    std::array<const CX2::PowerAmpFunction*, 9> triples{};
    for (int n = 1; n <= 9; ++n)
        triples[static_cast<std::size_t>(n - 1)] = &m.interpolator.triple(n).getFunction();
    const CX2::PowerAmpStageTable table(m.grid, triples);
    const float reach = m.interpolator.triple(1).getFunction().getVOut().getXLast() * 1.1f;
    std::vector<float> drives = {kNaN, kInf, -kInf, 0.0f, -0.0f, 1e-30f};
    for (int k = -2000; k <= 2000; ++k)
        drives.push_back(reach * static_cast<float>(k) / 2000.0f);
    for (const auto* f : triples)
        for (const auto* s : {&f->getVOut(), &f->getI1()})
            for (const auto& knot : s->getKnots())
                drives.insert(drives.end(), {knot.x, std::nextafter(knot.x, -kInf),
                                             std::nextafter(knot.x, kInf)});
    const auto& g = m.grid;
    const std::vector<Point> points = {
        {g.axis0[1], g.axis1[1]},
        {g.axis0[0], g.axis1[2]},
        {0.5f * (g.axis0[0] + g.axis0[1]), 0.3f * g.axis1[1] + 0.7f * g.axis1[2]},
        {g.axis0[2] + 50.0f, g.axis1[0] - 50.0f},
        {kNaN, g.axis1[1]}};
    int mismatches = 0;
    for (const Point& p : points) {
        const Cell cell = m.finder.find(p);
        const Cell fast = table.find(p);
        EXPECT_EQ(cellText(fast), cellText(cell));
        for (float x : drives) {
            const Result3 want = m.interpolator.interpolate(x, p, cell);
            const Result3 got = table.interpolate(x, p, fast);
            const Result3 loop = table.interpolateAt(x, p);
            for (std::size_t k = 0; k < 3; ++k)
                for (const float value : {got[k], loop[k]})
                    if (std::memcmp(&want[k], &value, sizeof(float)) != 0 && ++mismatches < 5)
                        ADD_FAILURE() << "x " << x << " output " << k << ": " << value
                                      << " against " << want[k];
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace

TEST(PowerAmpGrid, StageTableGivesTheInterpolatorsValuesBitForBit)
{
    expectStageTableMatches<PowerAmpBorvanV9E_50WL1Traits>("V9E 50W");
    expectStageTableMatches<PowerAmpBorvanV9E_100WL1Traits>("V9E 100W");
    expectStageTableMatches<PowerAmpBorvanRKMClassicHeadL1Traits>("RKM Classic");
}
