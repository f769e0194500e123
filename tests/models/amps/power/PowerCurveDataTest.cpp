// The stored output-stage tables of the three tube power amps: their values at the knots the
// amps are calibrated to, the level-0 curve's extremes and small-signal slope through the
// engine's spline, counts and ranges, the shape of the current curves and the order of the
// plateaus across the supply grid.
#include "engine/math/Curve2.h"
#include "engine/math/SplineCubic.h"
#include "models/amps/power/PowerCurveTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace AudioEngine::BorvanQom;
namespace v50 = PowerAmpBorvanV9E_50WTraitsDetails::CurveTables;
namespace v100 = PowerAmpBorvanV9E_100WTraitsDetails::CurveTables;
namespace rkm = PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveTables;

struct Model {
    const char* label;
    const PowerCurveTable* tables;
    float outputRange;
};

const Model kModels[3] = {{"V9E 50W", v50::kTables, 4.0f},
                          {"V9E 100W", v100::kTables, 4.0f},
                          {"RKM Classic", rkm::kTables, 30.0f}};

enum Kind { V = 0, I1 = 1, I2 = 2 };

const PowerCurveTable& table(int model, Kind kind, int triple)
{
    return kModels[model].tables[kind * 9 + triple - 1];
}

// Half a unit of the last digit of a value as printed ("36.0107" -> 0.00005).
double halfUnit(const char* printed)
{
    const char* dot = std::strchr(printed, '.');
    const int decimals = dot ? static_cast<int>(std::strlen(dot + 1)) : 0;
    return 0.5 * std::pow(10.0, -decimals);
}

struct StoredValue {
    int model;
    Kind kind;
    int triple;
    int k;
    const char* value;
};

void expectStored(const StoredValue& c)
{
    const double expected = std::stod(c.value);
    const float stored = table(c.model, c.kind, c.triple).samples[c.k];
    EXPECT_NEAR(stored, expected, halfUnit(c.value))
        << kModels[c.model].label << " " << table(c.model, c.kind, c.triple).name
        << " at k = " << c.k;
}

TEST(PowerCurveData, TellingValuesSitAtTheirKnots)
{
    const StoredValue cases[] = {
        // V9E 50W, triples 1, 5, 9: v, i1, i2 at k = 0, 90, 180.
        {0, V, 1, 0, "-30.758"},
        {0, V, 1, 90, "0.0"},
        {0, V, 1, 180, "30.733"},
        {0, I1, 1, 0, "-0.3426"},
        {0, I1, 1, 90, "0.0"},
        {0, I1, 1, 180, "-0.3449"},
        {0, I2, 1, 0, "-0.04051"},
        {0, I2, 1, 90, "0.0"},
        {0, I2, 1, 180, "-0.04042"},
        {0, V, 5, 0, "-36.011"},
        {0, V, 5, 90, "0.0"},
        {0, V, 5, 180, "36.558"},
        {0, I1, 5, 0, "-0.4041"},
        {0, I1, 5, 90, "-0.0533"},
        {0, I1, 5, 180, "-0.4069"},
        {0, I2, 5, 0, "-0.05014"},
        {0, I2, 5, 90, "-0.00439"},
        {0, I2, 5, 180, "-0.05005"},
        {0, V, 9, 0, "-37.621"},
        {0, V, 9, 90, "0.0"},
        {0, V, 9, 180, "37.298"},
        {0, I1, 9, 0, "-0.4172"},
        {0, I1, 9, 90, "-0.0859"},
        {0, I1, 9, 180, "-0.4202"},
        {0, I2, 9, 0, "-0.05383"},
        {0, I2, 9, 90, "-0.00706"},
        {0, I2, 9, 180, "-0.05373"},
        // V9E 100W.
        {1, V, 1, 0, "-32.928"},
        {1, V, 1, 90, "0.0"},
        {1, V, 1, 180, "32.906"},
        {1, I1, 1, 0, "-0.3666"},
        {1, I1, 1, 90, "0.0"},
        {1, I1, 1, 180, "-0.3694"},
        {1, I2, 1, 0, "-0.09161"},
        {1, I2, 1, 90, "0.0"},
        {1, I2, 1, 180, "-0.09138"},
        {1, V, 5, 0, "-38.6"},
        {1, V, 5, 90, "0.0"},
        {1, V, 5, 180, "38.799"},
        {1, I1, 5, 0, "-0.431"},
        {1, I1, 5, 90, "-0.1063"},
        {1, I1, 5, 180, "-0.4344"},
        {1, I2, 5, 0, "-0.11258"},
        {1, I2, 5, 90, "-0.00876"},
        {1, I2, 5, 180, "-0.11232"},
        {1, V, 9, 0, "-38.867"},
        {1, V, 9, 90, "0.0"},
        {1, V, 9, 180, "40.967"},
        {1, I1, 9, 0, "-0.4447"},
        {1, I1, 9, 90, "-0.1714"},
        {1, I1, 9, 180, "-0.4483"},
        {1, I2, 9, 0, "-0.12071"},
        {1, I2, 9, 90, "-0.0141"},
        {1, I2, 9, 180, "-0.12043"},
        // RKM Classic; triple 1 keeps its slightly positive values at k = 90.
        {2, V, 1, 0, "-38.255"},
        {2, V, 1, 90, "0.0001"},
        {2, V, 1, 180, "38.38"},
        {2, I1, 1, 0, "-0.4748"},
        {2, I1, 1, 90, "0.0029"},
        {2, I1, 1, 180, "-0.4774"},
        {2, I2, 1, 0, "-0.06846"},
        {2, I2, 1, 90, "-0.00285"},
        {2, I2, 1, 180, "-0.06546"},
        {2, V, 5, 0, "-63.956"},
        {2, V, 5, 90, "-0.7979"},
        {2, V, 5, 180, "63.946"},
        {2, I1, 5, 0, "-0.7962"},
        {2, I1, 5, 90, "-0.0569"},
        {2, I1, 5, 180, "-0.7974"},
        {2, I2, 5, 0, "-0.07866"},
        {2, I2, 5, 90, "-0.006"},
        {2, I2, 5, 180, "-0.07648"},
        {2, V, 9, 0, "-73.155"},
        {2, V, 9, 90, "-2.3367"},
        {2, V, 9, 180, "73.135"},
        {2, I1, 9, 0, "-0.9102"},
        {2, I1, 9, 90, "-0.7503"},
        {2, I1, 9, 180, "-0.9127"},
        {2, I2, 9, 0, "-0.55927"},
        {2, I2, 9, 90, "-0.04249"},
        {2, I2, 9, 180, "-0.5563"},
    };
    for (const StoredValue& c : cases)
        expectStored(c);
}

TEST(PowerCurveData, FifthOutputCurveCarriesTheLevel0Rows)
{
    const int ks[9] = {0, 45, 80, 89, 90, 91, 100, 135, 180};
    const char* const rows[3][9] = {
        {"-36.0107", "-34.526", "-7.11457", "-0.769709", "0.0", "0.771601", "7.40713", "35.1302",
         "36.5584"},
        {"-38.6", "-38.5897", "-13.9707", "-1.49286", "0.0", "1.49563", "14.3385", "38.8081",
         "38.7986"},
        {"-63.9557", "-29.5423", "-7.0818", "-1.4913", "-0.797893", "-0.10125", "5.99544", "28.019",
         "63.9459"},
    };
    for (int model = 0; model < 3; ++model)
        for (int j = 0; j < 9; ++j)
            expectStored({model, V, 5, ks[j], rows[model][j]});
}

struct FifthCurveBounds {
    using Curve = AudioEngine::AudioMath::Curve2<AudioEngine::AudioMath::Curve2Traits<float>>;
    static constexpr float startSlope = 0.0f;
    static constexpr float endSlope = 0.0f;
};
using ClampedSpline = AudioEngine::AudioMath::SplineCubic<
    AudioEngine::AudioMath::SplineCubicUniformLinearTraits<FifthCurveBounds>>;

TEST(PowerCurveData, FifthOutputCurveHasItsExtremesAndSmallSignalSlope)
{
    struct Case {
        const char* minimum;
        const char* maximum;
        double slope;
    };
    const Case cases[3] = {
        {"-36.0107", "36.5717", 17.3}, {"-38.6415", "38.81", 33.6}, {"-63.9591", "63.9566", 2.09}};
    for (int model = 0; model < 3; ++model) {
        SCOPED_TRACE(kModels[model].label);
        const PowerCurveTable& t = table(model, V, 5);
        const float* begin = t.samples;
        const float* end = t.samples + kPowerCurvePoints;
        const float lo = *std::min_element(begin, end);
        const float hi = *std::max_element(begin, end);
        EXPECT_NEAR(lo, std::stod(cases[model].minimum), halfUnit(cases[model].minimum));
        EXPECT_NEAR(hi, std::stod(cases[model].maximum), halfUnit(cases[model].maximum));
        // The plateau overshoots before its end: the maximum lies beyond the last sample (and so
        // does the minimum, except on the 50W, whose negative plateau ends at its extreme).
        EXPECT_GT(hi, t.samples[180]);
        if (model != 0) {
            EXPECT_LT(lo, t.samples[0]);
        } else {
            EXPECT_EQ(lo, t.samples[0]);
        }

        const ClampedSpline spline(
            FifthCurveBounds::Curve(t.samples, kPowerCurvePoints, t.x0, t.x1), 0.0f, 0.0f);
        EXPECT_NEAR(spline.slope(0.0f), cases[model].slope, 0.02 * cases[model].slope);
    }
}

TEST(PowerCurveData, OutputAtZeroDriveIsZeroOnTheV9EAndNegativeOnTheRKMClassic)
{
    for (int model = 0; model < 2; ++model)
        for (int triple = 1; triple <= 9; ++triple)
            EXPECT_EQ(table(model, V, triple).samples[90], 0.0f)
                << kModels[model].label << " triple " << triple;
    EXPECT_LT(table(2, V, 5).samples[90], 0.0f);
    EXPECT_LT(table(2, V, 9).samples[90], 0.0f);
}

TEST(PowerCurveData, EachModelHas27FiniteTablesOverTheirRanges)
{
    // The current tables' ranges, as printed, triple by triple.
    const double currentRanges[3][9][2] = {
        {{-3.991664, 3.994311},
         {-4.007744, 3.991383},
         {-4.007298, 3.993786},
         {-4.007471, 3.995144},
         {-4.007871, 3.994292},
         {-4.007441, 3.993977},
         {-4.007795, 3.992853},
         {-4.007626, 3.994199},
         {-4.007601, 3.994023}},
        {{-3.991743, 3.995083},
         {-4.008368, 3.993383},
         {-4.007529, 3.994274},
         {-4.00742, 3.9939},
         {-4.007343, 3.995054},
         {-4.00825, 3.993973},
         {-4.007771, 3.99436},
         {-4.007673, 3.994322},
         {-4.007597, 3.993297}},
        {{-29.99967, 29.99483},
         {-30.11761, 29.9951},
         {-30.11657, 29.99758},
         {-30.11581, 29.9928},
         {-30.11713, 29.98017},
         {-30.11665, 29.97908},
         {-30.1177, 29.89877},
         {-30.11737, 29.92129},
         {-30.117, 29.99166}},
    };
    const char* const kinds[3] = {"VOutClipperCurve", "I1ClipperCurve", "I2ClipperCurve"};
    EXPECT_EQ(kPowerCurvePoints, 181);
    EXPECT_EQ(kPowerCurveTablesPerModel, 27);
    for (int model = 0; model < 3; ++model)
        for (int kind = V; kind <= I2; ++kind)
            for (int triple = 1; triple <= 9; ++triple) {
                const PowerCurveTable& t = table(model, static_cast<Kind>(kind), triple);
                SCOPED_TRACE(std::string(kModels[model].label) + " " + t.name);
                EXPECT_EQ(std::string(t.name), kinds[kind] + std::to_string(triple));
                const float range = kModels[model].outputRange;
                const float x0 =
                    kind == V ? -range : static_cast<float>(currentRanges[model][triple - 1][0]);
                const float x1 =
                    kind == V ? range : static_cast<float>(currentRanges[model][triple - 1][1]);
                EXPECT_EQ(t.x0, x0);
                EXPECT_EQ(t.x1, x1);
                EXPECT_TRUE(std::all_of(t.samples, t.samples + kPowerCurvePoints,
                                        [](float v) { return std::isfinite(v); }));
            }
    // The header's constants are the ranges of the table entries.
    EXPECT_EQ(v50::I1ClipperCurve1X0, v50::kTables[9].x0);
    EXPECT_EQ(rkm::I2ClipperCurve9X1, rkm::kTables[26].x1);
    EXPECT_EQ(v100::VOutClipperCurve5X1, 4.0f);
}

TEST(PowerCurveData, CurrentsAreDrawnAndNearlySymmetric)
{
    for (int model = 0; model < 3; ++model)
        for (int kind = I1; kind <= I2; ++kind)
            for (int triple = 1; triple <= 9; ++triple) {
                const PowerCurveTable& t = table(model, static_cast<Kind>(kind), triple);
                SCOPED_TRACE(std::string(kModels[model].label) + " " + t.name);
                // The RKM Classic's plate current at triple 1 keeps its one slightly positive row.
                const bool keptRow = model == 2 && kind == I1 && triple == 1;
                for (int k = 0; k < kPowerCurvePoints; ++k) {
                    if (!(keptRow && k == 90)) {
                        EXPECT_LE(t.samples[k], 0.0f) << "at k = " << k;
                    }
                }
                EXPECT_NEAR(t.samples[0] / t.samples[180], 1.0f, 0.05f);
            }
}

TEST(PowerCurveData, TabulatedCurrentsGrowFromIdleTowardsBothEnds)
{
    for (int model = 0; model < 3; ++model)
        for (int kind = I1; kind <= I2; ++kind)
            for (int triple : {1, 5, 9}) {
                const PowerCurveTable& t = table(model, static_cast<Kind>(kind), triple);
                SCOPED_TRACE(std::string(kModels[model].label) + " " + t.name);
                std::vector<float> magnitude(kPowerCurvePoints);
                for (int k = 0; k < kPowerCurvePoints; ++k)
                    magnitude[k] = std::fabs(t.samples[k]);
                const auto smallest =
                    std::min_element(magnitude.begin(), magnitude.end()) - magnitude.begin();
                const float largest = *std::max_element(magnitude.begin(), magnitude.end());
                EXPECT_NEAR(smallest, 90, 18); // within the middle fifth of the drive range
                EXPECT_GE(magnitude[0], 0.95f * largest);
                EXPECT_GE(magnitude[180], 0.95f * largest);
                // From the idle outwards the magnitude at a quarter and at the end of each side
                // rises.
                EXPECT_LT(magnitude[90], magnitude[45]);
                EXPECT_LT(magnitude[45], magnitude[0]);
                EXPECT_LT(magnitude[90], magnitude[135]);
                EXPECT_LT(magnitude[135], magnitude[180]);
            }
}

TEST(PowerCurveData, PlateausNeverFallTowardsAHigherSupply)
{
    for (int model = 0; model < 3; ++model)
        for (int k : {0, 180})
            for (int triple = 1; triple <= 9; ++triple) {
                SCOPED_TRACE(std::string(kModels[model].label) + " triple " +
                             std::to_string(triple) + " k = " + std::to_string(k));
                const float here = std::fabs(table(model, V, triple).samples[k]);
                if ((triple - 1) % 3 < 2) { // towards a higher plate supply
                    EXPECT_LE(here, std::fabs(table(model, V, triple + 1).samples[k]));
                }
                if ((triple - 1) / 3 < 2) { // towards a higher screen supply
                    EXPECT_LE(here, std::fabs(table(model, V, triple + 3).samples[k]));
                }
            }
}

} // namespace
