// Detail level 0 of the tube power amps: one curve between the input and
// output gains, with its hard limits, its ignored supply knobs and its
// behaviour on bad input and out-of-range settings.
#include "PowerAmpRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace powertest;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Model {
    const char* label;
    const PowerCurveTable& curve; // VOutClipperCurve5
    float boost;                  // of the stored values
};

template <class L0Traits> void expectLevel0(const Model& model)
{
    SCOPED_TRACE(model.label);
    using Level = CX2::PowerAmpLevel0<L0Traits>;
    Rig<Level> rig;
    const auto& cal = L0Traits::calibration;
    const float outScale = cal.gainPost;
    EXPECT_EQ(rig.module.getOutScale(), outScale);
    EXPECT_EQ(rig.module.getDrive(), cal.gainPre);
    const float y0 = model.curve.samples[90] * model.boost;
    const float yFirst = model.curve.samples[0] * model.boost;
    const float yLast = model.curve.samples[180] * model.boost;
    const float x1 = model.curve.x1;

    // Zero drive gives the curve's value at 0 (0 on the V9E), scaled, up to
    // the rounding of the stored segment coefficients.
    const float atRest = rig.runConstant(0.0f, 8)[7];
    EXPECT_NEAR(atRest, y0 * outScale, 1e-7f);
    rig.set("Volume", 0.0f);
    EXPECT_EQ(rig.runConstant(0.37f, 8)[7], atRest) << "Volume 0";

    // At and beyond the table's end the last sample, exactly; NaN and the
    // infinities go to the ends.
    rig.set("Volume", 1.0f);
    const float atEnd = x1 / cal.gainPre;
    struct Case {
        float in;
        float expected;
    } ends[] = {{atEnd, yLast * outScale},   {2.0f * atEnd, yLast * outScale},
                {1e30f, yLast * outScale},   {kInf, yLast * outScale},
                {-atEnd, yFirst * outScale}, {-kInf, yFirst * outScale},
                {kNaN, yFirst * outScale}};
    for (const Case& c : ends)
        EXPECT_EQ(rig.run({c.in, 0.0f, 0.0f, 0.0f})[0], c.expected) << c.in;

    // "GainPre" +20 dB multiplies the curve's input by 10, "GainPost" -20 dB
    // divides the output by 10.
    const float a = 0.02f * x1 / cal.gainPre;
    const float plain = rig.run({10.0f * a, 0, 0, 0})[0];
    rig.set("GainPre", 20.0f);
    EXPECT_NEAR(rig.run({a, 0, 0, 0})[0], plain, 1e-5f * std::fabs(plain));
    rig.set("GainPre", 0.0f);
    rig.set("GainPost", -20.0f);
    EXPECT_NEAR(rig.run({10.0f * a, 0, 0, 0})[0], plain / 10.0f, 1e-6f * std::fabs(plain));
    rig.set("GainPost", 0.0f);

    // The supply knobs mean nothing at this level.
    const std::vector<float> x = sine(0.5 * atEnd, 110.0, 0.01, 44100.0);
    const std::vector<float> before = rig.run(x);
    rig.set("Variac", 1.4f);
    rig.set("PlateCurrentGain", 0.0f);
    rig.set("ScreenCurrentGain", 7.0f);
    EXPECT_EQ(rig.run(x), before);
    EXPECT_EQ(rig.module.getSupply(), 1.4f * cal.variac);
    EXPECT_EQ(rig.module.getPlateScale(), 0.0f);
    EXPECT_EQ(rig.module.getScreenScale(), 7.0f * cal.screen);
}

} // namespace

TEST(PowerAmpLevel0, CurveGainsAndLimitsOfTheThreeModels)
{
    expectLevel0<PowerAmpBorvanV9E_50WL0Traits>(
        {"V9E 50W", PowerAmpBorvanV9E_50WTraitsDetails::CurveTables::kTables[4], 1.0f});
    expectLevel0<PowerAmpBorvanV9E_100WL0Traits>(
        {"V9E 100W", PowerAmpBorvanV9E_100WTraitsDetails::CurveTables::kTables[4], 1.0f});
    expectLevel0<PowerAmpBorvanRKMClassicHeadL0Traits>(
        {"RKM Classic", PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveTables::kTables[4],
         PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveBoosted::kBoost});
}

TEST(PowerAmpLevel0, TellingOutputsAtTheDefaults)
{
    // V9E 50W at the end of its table: 36.5584 x 0.025.
    Rig<CX2::PowerAmpLevel0<PowerAmpBorvanV9E_50WL0Traits>> v50;
    v50.set("Volume", 1.0f);
    EXPECT_NEAR(v50.run({4.0f, 0, 0, 0})[0], 36.5584f * 0.025f, 1e-5f);
    EXPECT_NEAR(v50.runConstant(0.0f, 4)[0], 0.0f, 1e-7f);
    // RKM Classic at rest: the +6 dB curve's offset, 1.99526 x -0.797893 / 73.
    Rig<CX2::PowerAmpLevel0<PowerAmpBorvanRKMClassicHeadL0Traits>> rkm;
    EXPECT_NEAR(rkm.runConstant(0.0f, 4)[0], 1.99526f * -0.797893f / 73.0f, 1e-6f);
    EXPECT_NEAR(PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveBoosted::kBoost, 1.99526f, 1e-5f);
    // In the last segment, the float below the end still takes the cubic.
    const float below = std::nextafter(4.0f, 0.0f);
    EXPECT_EQ(v50.run({below, 0, 0, 0})[0], v50.module.getCurve().evaluate(below) * 0.025f);
}

TEST(PowerAmpLevel0, WorkingValuesFollowTheLimitedParameter)
{
    Rig<CX2::PowerAmpLevel0<PowerAmpBorvanV9E_50WL0Traits>> rig;
    struct Case {
        const char* name;
        float value;
        float readBack;
    } cases[] = {
        {"GainPre", 90.0f, 80.0f},
        {"GainPre", 1e3f, 80.0f},
        {"GainPre", kInf, 80.0f},
        {"GainPost", -kInf, -80.0f},
        {"Variac", 2.0f, 1.5f},
        {"PlateCurrentGain", -3.0f, 0.0f},
        {"ScreenCurrentGain", 1e9f, 10.0f},
    };
    for (const Case& c : cases) {
        rig.set(c.name, c.value);
        EXPECT_EQ(rig.get(c.name), c.readBack) << c.name << " " << c.value;
        EXPECT_TRUE(allFinite(rig.run(sine(1.0, 50.0, 0.005, 44100.0))))
            << c.name << " " << c.value;
    }
    EXPECT_EQ(rig.module.getDrive(), static_cast<float>(1e4));
    EXPECT_EQ(rig.module.getSupply(), 1.5f * 494.5f);
    EXPECT_EQ(rig.module.getScreenScale(), -10.0f);
    // A NaN leaves the value and its working value as they were.
    rig.set("Variac", kNaN);
    EXPECT_EQ(rig.get("Variac"), 1.5f);
    EXPECT_EQ(rig.module.getSupply(), 1.5f * 494.5f);
    EXPECT_THROW(rig.set("Drive", 1.0f), UnknownName);
}

TEST(PowerAmpLevel0, InPlaceOutputGivesTheSameSamples)
{
    Rig<CX2::PowerAmpLevel0<PowerAmpBorvanRKMClassicHeadL0Traits>> buffered;
    Rig<CX2::PowerAmpLevel0<PowerAmpBorvanRKMClassicHeadL0Traits>> inPlace(44100.0f, 2);
    const std::vector<float> x = sine(2.0, 80.0, 0.01, 44100.0);
    EXPECT_EQ(inPlace.run(x), buffered.run(x));
    EXPECT_EQ(inPlace.module.getOutput("Out").getBuffer(),
              inPlace.module.getInput("In").getBuffer());
}
