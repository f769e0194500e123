// The stage curve tables as the stages will see them: through the engine's own
// knots and spline. Measured points at their knots, the rest outputs that the
// coupling high-passes are preset to, counts, ranges and end slopes, shapes,
// and the ranges of the currents.
#include "models/amps/stages/StageCurveTables.h"
#include "tools/preamp-curves/StageCurveLaws.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace tables = AudioEngine::BorvanQom::StageCurveTables;
// The spline, the tolerance of a printed point and the exact law are the
// generator's own.
using PreampCurves::halfUnit;
using PreampCurves::Knots;
using PreampCurves::Spline;

struct Table {
    const char* name;
    const float* samples;
    std::int32_t count;
    float x0;
    float x1;
    float startSlope;
    float endSlope;

    Knots knots() const { return Knots(samples, count, x0, x1); }
    Spline spline() const { return Spline(knots(), startSlope, endSlope); }
    float at(std::size_t i) const { return samples[i]; }
    std::size_t size() const { return static_cast<std::size_t>(count); }
};

template <class T> Table table(const char* name)
{
    return Table{name, T::samples, T::count, T::x0, T::x1, T::startSlope, T::endSlope};
}

const Table rkmClassic1 = table<tables::RKMClassicClipCurve1>("RKM Classic ClipCurve1");
const Table rkmClassic2 = table<tables::RKMClassicClipCurve2>("RKM Classic ClipCurve2");
const Table rkmClassic4 = table<tables::RKMClassicClipCurve4>("RKM Classic ClipCurve4");
const Table rkm4Pro1 = table<tables::RKM4ProClipCurve1>("RKM4Pro curve 1");
const Table rkm4Pro2 = table<tables::RKM4ProClipCurve2>("RKM4Pro curve 2");
const Table rkm4Pro3 = table<tables::RKM4ProClipCurve3>("RKM4Pro curve 3");
const Table v9e1 = table<tables::V9EClipCurve1>("V9E ClipCurve1");
const Table v9e4 = table<tables::V9EClipCurve4>("V9E ClipCurve4");
const Table fullWave = table<tables::LimiterFullWaveRectifier>("FullWaveRectifier");
const Table photoDiode =
    table<tables::LimiterPhotoDiodeTransferFunction>("PhotoDiodeTransferFunction");
const Table limiterLed = table<tables::LimiterPeakLedRectifier>("limiter LED rectifier");
const Table compressor = table<tables::CompressorPhotoDiodeRectifier>("PhotoDiodeRectifierType");
const Table re500Led = table<tables::RE500PeakLedRectifier>("RE500 LED rectifier");
const Table rkm4ProLed = table<tables::RKM4ProPeakLedRectifier>("RKM4Pro LED rectifier");

const std::vector<Table> allUniform{rkmClassic1, rkmClassic2, rkmClassic4, rkm4Pro1,  rkm4Pro2,
                                    rkm4Pro3,    v9e1,        v9e4,        fullWave,  photoDiode,
                                    limiterLed,  compressor,  re500Led,    rkm4ProLed};
const std::vector<Table> currents{fullWave,   photoDiode, limiterLed,
                                  compressor, re500Led,   rkm4ProLed};

// The knot nearest x (the tables' knots lie on their decimal grids up to rounding).
std::size_t knotAt(const Table& t, double x)
{
    const double step = (static_cast<double>(t.x1) - t.x0) / (t.count - 1);
    return static_cast<std::size_t>(std::lround((x - t.x0) / step));
}

// How far a spline's end slope may stray from the slope it was clamped to: the
// rounding of the segment's float coefficients, scaled by 1/h.
double slopeTolerance(const Spline& s, std::size_t segment, float slope)
{
    const auto& g = s.getSegments()[segment];
    return 4.0 * FLT_EPSILON * g.invH *
               (3.0 * std::fabs(g.a) + 2.0 * std::fabs(g.b) + std::fabs(g.c)) +
           FLT_EPSILON * std::fabs(slope) + 1e-30;
}

TEST(CurveData, CountsRangesAndEndSlopesAreTheStagesAndEachSplineMeetsItsSlopes)
{
    struct Case {
        Table t;
        std::int32_t count;
        float x0, x1, s0, s1;
    };
    const std::vector<Case> cases{
        {rkmClassic1, 102, -4.4f, 5.7f, 0.0f, 0.07f},
        {rkmClassic2, 146, -4.3f, 10.2f, 0.0f, 0.88f},
        {rkmClassic4, 11, -9.0f, -8.0f, 0.5f, 0.98f},
        {rkm4Pro1, 96, -3.8f, 5.7f, 0.0f, 0.02f},
        {rkm4Pro2, 499, -28.1f, 21.7f, 0.0f, 0.0085f},
        {rkm4Pro3, 201, -3.8f, 16.2f, 0.0f, 0.88f},
        {v9e1, 116, -5.0f, 6.5f, 0.0f, 0.0f},
        {v9e4, 721, -240.0f, 480.0f, 0.0f, 0.0f},
        {fullWave, 121, -5.0f, 7.0f, 0.0f, 0.0f},
        {photoDiode, 34, 1.2f, 4.5f, 0.0f, 0.000993f},
        {limiterLed, 15, 0.0f, 1.4f, 0.0f, 0.0f},
        {compressor, 101, 0.0f, 10.0f, 0.0f, 0.0041388f},
        {re500Led, 103, 0.0f, 10.2f, 0.0f, 0.0f},
        {rkm4ProLed, 31, 0.0f, 30.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t.name);
        EXPECT_EQ(c.t.count, c.count);
        EXPECT_EQ(c.t.x0, c.x0);
        EXPECT_EQ(c.t.x1, c.x1);
        EXPECT_EQ(c.t.startSlope, c.s0);
        EXPECT_EQ(c.t.endSlope, c.s1);

        const Spline s = c.t.spline();
        // Every table steps by 0.1 except the two on a 1-volt grid.
        const double step = (c.t.x1 - c.t.x0) / (c.count - 1.0);
        EXPECT_NEAR(step, c.t.name == v9e4.name || c.t.name == rkm4ProLed.name ? 1.0 : 0.1, 1e-6);
        EXPECT_NEAR(s.getXLast(), c.x1, 4e-6 * std::fabs(c.x1));
        EXPECT_NEAR(s.getSlopeFirst(), c.s0, slopeTolerance(s, 0, c.s0));
        EXPECT_NEAR(s.getSlopeLast(), c.s1, slopeTolerance(s, s.getSegments().size() - 1, c.s1));
    }

    // The vactrol's log-log curve, built as its stage will: logarithms of the
    // six measured points.
    EXPECT_EQ(tables::VTL5C7Points::count, 6);
    EXPECT_EQ(tables::VTL5C7Points::startSlope, -3.321928f);
    EXPECT_EQ(tables::VTL5C7Points::endSlope, 0.0f);
    Knots logLog;
    for (int i = 0; i < tables::VTL5C7Points::count; ++i)
        logLog.push_back({std::log10(tables::VTL5C7Points::currentA[i]),
                          std::log10(tables::VTL5C7Points::resistanceOhm[i])});
    const Spline vactrol(logLog, tables::VTL5C7Points::startSlope, tables::VTL5C7Points::endSlope);
    EXPECT_NEAR(vactrol.getSlopeFirst(), -3.321928f, slopeTolerance(vactrol, 0, -3.321928f));
    EXPECT_NEAR(vactrol.getSlopeLast(), 0.0f, slopeTolerance(vactrol, 4, 0.0f));
    EXPECT_NEAR(std::pow(10.0f, vactrol.evaluate(std::log10(1e-3f))), 1000.0f, 0.01f);
    EXPECT_NEAR(std::pow(10.0f, vactrol.evaluate(std::log10(1e-2f))), 200.0f, 0.002f);
}

TEST(CurveData, EveryMeasuredPointSitsAtItsKnotToItsPrintedDigits)
{
    struct Row {
        Table t;
        double x;
        std::string y;
    };
    std::vector<Row> rows;
    auto add = [&rows](const Table& t, std::vector<std::pair<double, std::string>> points) {
        for (auto& p : points)
            rows.push_back({t, p.first, p.second});
    };
    add(rkmClassic1, {{-4.4, "344.96"},
                      {-4.3, "344.88"},
                      {-4.2, "343.40"},
                      {-4, "339.3"},
                      {-3, "313.5"},
                      {-2, "284.3"},
                      {-1, "253.6"},
                      {0, "222.0"},
                      {1, "189.7"},
                      {2, "157.0"},
                      {3, "122.7"},
                      {4, "89.55"},
                      {5, "57.62"},
                      {5.6, "38.771"},
                      {5.7, "36.786"}});
    add(rkmClassic2, {{-4.3, "344.97"},
                      {-4.2, "343.98"},
                      {-4, "341.1"},
                      {-3, "323.5"},
                      {-2, "304.2"},
                      {-1, "284.2"},
                      {0, "263.6"},
                      {1, "242.8"},
                      {2, "221.6"},
                      {3, "200.3"},
                      {4, "178.9"},
                      {5, "157.3"},
                      {6, "135.1"},
                      {7, "112.6"},
                      {8, "90.1"},
                      {9, "67.58"},
                      {10, "45.01"},
                      {10.1, "42.754"},
                      {10.2, "42.183"}});
    add(rkmClassic4, {{-9.0, "-4.54948"},
                      {-8.9, "-4.49948"},
                      {-8.8, "-4.44949"},
                      {-8.7, "-4.39950"},
                      {-8.6, "-4.34950"},
                      {-8.5, "-4.27064"},
                      {-8.4, "-4.17583"},
                      {-8.3, "-4.08025"},
                      {-8.2, "-3.98428"},
                      {-8.1, "-3.88805"},
                      {-8.0, "-3.79163"}});
    add(rkm4Pro1,
        {{-3.8, "287.971"}, {-1.4, "228.449"}, {1.0, "156.743"}, {3.4, "83.9275"}, {5.7, "33.22"}});
    add(rkm4Pro2, {{-28.1, "287.863"},
                   {-15.7, "223.579"},
                   {-3.2, "153.072"},
                   {9.3, "81.5832"},
                   {21.7, "13.644"}});
    add(rkm4Pro3, {{-3.8, "287.971"},
                   {1.2, "231.194"},
                   {6.2, "169.653"},
                   {11.2, "106.535"},
                   {16.2, "43.926"}});
    add(fullWave, {{-5, "12.83824"},
                   {-3, "4.287754"},
                   {-2, "0.905613"},
                   {-1, "0.010985"},
                   {-0.5, "0.000184"},
                   {0, "0"},
                   {0.5, "0.008089"},
                   {1, "0.10372"},
                   {2, "1.411412"},
                   {3, "3.520909"},
                   {4, "5.82501"},
                   {5, "8.205352"},
                   {6, "10.62559"},
                   {7, "13.0702"}});
    add(photoDiode,
        {{1.2, "0"}, {1.3, "4.62e-5"}, {1.4, "1.385e-4"}, {2.0, "6.923e-4"}, {4.5, "0.003"}});
    add(compressor, {{0, "0"},
                     {0.1, "4.608e-9"},
                     {0.2, "1.589e-8"},
                     {2.5, "1.56422e-4"},
                     {5.0, "0.008607"},
                     {7.5, "0.0187925"},
                     {9.9, "0.0286947"},
                     {10, "0.0291085"}});
    add(re500Led, {{0, "9.66228e-11"},
                   {2.5, "1.05737e-10"},
                   {5.1, "1.32728e-7"},
                   {7.7, "2.00056e-4"},
                   {10.1, "0.0244"},
                   {10.2, "0.0244262"}});
    add(rkm4ProLed, {{0, "7.76478e-11"},
                     {7, "8.42929e-11"},
                     {15, "1.02499e-6"},
                     {23, "0.00866226"},
                     {29, "0.0225373"},
                     {30, "0.0225449"}});
    add(limiterLed, {{0, "9.52445e-11"},
                     {0.3, "1.43963e-10"},
                     {0.7, "1.93616e-6"},
                     {1.1, "0.00287634"},
                     {1.3, "0.0188253"},
                     {1.4, "0.0267177"}});
    add(v9e1, {{-5.0, "354.965"},
               {0.0, "232.497"},
               {2.0, "169.173"},
               {6.2, "38.7086"},
               {6.5, "38.7294"}});
    add(v9e4, {{-240, "-43.4317"},
               {-60, "-10.8579"},
               {30, "33.9588"},
               {120, "122.62"},
               {300, "300.204"},
               {480, "478.049"}});

    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.t.name) + " at " + std::to_string(r.x));
        const std::size_t i = knotAt(r.t, r.x);
        const Knots k = r.t.knots();
        ASSERT_LT(i, k.size());
        EXPECT_NEAR(k[i].x, r.x, 1e-5 * (1.0 + std::fabs(r.x)));
        EXPECT_NEAR(k[i].y, std::strtod(r.y.c_str(), nullptr), halfUnit(r.y));
        // At a knot the spline returns the sample, up to the rounding of the
        // segment's float coefficients.
        const Spline s = r.t.spline();
        const auto& g = s.getSegments()[std::min(i, s.getSegments().size() - 1)];
        EXPECT_NEAR(s.evaluate(k[i].x), k[i].y,
                    2.0 * FLT_EPSILON *
                        (std::fabs(g.a) + std::fabs(g.b) + std::fabs(g.c) + std::fabs(k[i].y)));
    }

    // The vactrol points are as measured.
    const float current[] = {1e-4f, 2e-4f, 3e-4f, 1e-3f, 1e-2f, 4e-2f};
    const float resistance[] = {100000.0f, 7000.0f, 3000.0f, 1000.0f, 200.0f, 100.0f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tables::VTL5C7Points::currentA[i], current[i]);
        EXPECT_EQ(tables::VTL5C7Points::resistanceOhm[i], resistance[i]);
    }
}

TEST(CurveData, AStageAtRestOutputsItsHighPassPresetBitForBit)
{
    struct Case {
        Table t;
        std::function<float(float)> input; // the stage's input transform
        float preset;
    };
    const std::vector<Case> cases{
        {rkmClassic1, [](float in) { return in + in; }, 221.996f},
        {rkmClassic2, [](float in) { return in + 1.77745f; }, 226.361f},
        {rkm4Pro1, [](float in) { return in; }, 187.16620f},
        {rkm4Pro2, [](float in) { return in * 0.84881991f; }, 134.81880f},
        {rkm4Pro3, [](float in) { return in + 4.665f; }, 188.70256f},
        {v9e1, [](float in) { return 3.2f * in; }, 232.4967f},
        {v9e4, [](float in) { return in + 117.755f; }, 120.40674f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t.name);
        EXPECT_EQ(c.t.spline().evaluate(c.input(0.0f)), c.preset);
    }
}

TEST(CurveData, PhotoDiodeTransferFunctionIsItsStraightLaw)
{
    for (std::size_t k = 0; k < photoDiode.size(); ++k) {
        SCOPED_TRACE(k);
        const double law = PreampCurves::limiterPhotoDiodeAmps(static_cast<int>(k));
        EXPECT_NEAR(photoDiode.at(k), law,
                    0.5 * std::fabs(std::nextafter(photoDiode.at(k), INFINITY) - photoDiode.at(k)));
    }
}

TEST(CurveData, ShapesHoldFromKnotToKnot)
{
    enum class Shape { Falling, Rising, FallingThenRising, FallingThenRisingAtZero };
    struct Case {
        Table t;
        Shape shape;
        float turn; // the knot where the curve turns
    };
    const std::vector<Case> cases{
        {rkmClassic1, Shape::Falling, 0.0f},
        {rkmClassic2, Shape::Falling, 0.0f},
        {rkmClassic4, Shape::Rising, 0.0f},
        {rkm4Pro1, Shape::Falling, 0.0f},
        {rkm4Pro2, Shape::Falling, 0.0f},
        {rkm4Pro3, Shape::Falling, 0.0f},
        {v9e1, Shape::FallingThenRising, 6.2f},
        {v9e4, Shape::Rising, 0.0f},
        {fullWave, Shape::FallingThenRisingAtZero, 0.0f},
        // The diode and LED curves rise with the input, above their floors.
        {photoDiode, Shape::Rising, 0.0f},
        {limiterLed, Shape::Rising, 0.0f},
        {compressor, Shape::Rising, 0.0f},
        {re500Led, Shape::Rising, 0.0f},
        {rkm4ProLed, Shape::Rising, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t.name);
        const Knots k = c.t.knots();
        for (std::size_t i = 1; i < k.size(); ++i) {
            SCOPED_TRACE(k[i].x);
            const bool rising =
                c.shape == Shape::Rising ||
                (c.shape == Shape::FallingThenRising && k[i - 1].x >= c.turn - 1e-4f) ||
                (c.shape == Shape::FallingThenRisingAtZero && k[i - 1].x >= -1e-6f);
            if (rising)
                EXPECT_GT(k[i].y, k[i - 1].y);
            else
                EXPECT_LT(k[i].y, k[i - 1].y);
        }
    }
}

TEST(CurveData, VoltagesStayInTheirSuppliesAndCurrentsNeverGoNegative)
{
    for (const Table& t : {rkmClassic1, rkmClassic2, rkm4Pro1, rkm4Pro2, rkm4Pro3, v9e1}) {
        SCOPED_TRACE(t.name);
        for (std::size_t i = 0; i < t.size(); ++i) {
            EXPECT_GE(t.at(i), 13.0f);
            EXPECT_LE(t.at(i), 356.0f);
        }
    }
    for (std::size_t i = 0; i < v9e4.size(); ++i) {
        EXPECT_GE(v9e4.at(i), -43.5f);
        EXPECT_LE(v9e4.at(i), 478.1f);
    }

    // The LED floors below the knee.
    EXPECT_EQ(re500Led.at(0), 9.66228e-11f);
    EXPECT_EQ(rkm4ProLed.at(0), 7.76478e-11f);
    EXPECT_EQ(limiterLed.at(0), 9.52445e-11f);

    for (const Table& t : currents) {
        SCOPED_TRACE(t.name);
        for (std::size_t i = 0; i < t.size(); ++i)
            EXPECT_GE(t.at(i), 0.0f);
        // Between the knots too: on a grid ten times finer the spline dips no
        // more than 0.1 % of its last sample below zero.
        const Spline s = t.spline();
        const Knots k = t.knots();
        float lowest = 0.0f;
        for (std::size_t i = 0; i + 1 < k.size(); ++i)
            for (int j = 0; j < 10; ++j)
                lowest = std::min(lowest, s.evaluate(k[i].x + (k[i + 1].x - k[i].x) *
                                                                  static_cast<float>(j) / 10.0f));
        EXPECT_GE(lowest, -1e-3f * t.at(t.size() - 1));
    }
}

} // namespace
