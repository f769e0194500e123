// Detail level 1 of the tube power amps: the curve grid coupled with the
// supply, from its start at rest through idle, sag and a
// raised mains to rate changes, out-of-range settings and bad input.
#include "PowerAmpRig.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

using namespace powertest;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using V50 = CX2::PowerAmpLevel1<PowerAmpBorvanV9E_50WL1Traits>;
using V100 = CX2::PowerAmpLevel1<PowerAmpBorvanV9E_100WL1Traits>;
using RKM = CX2::PowerAmpLevel1<PowerAmpBorvanRKMClassicHeadL1Traits>;

template <class Level> float triple(const Level& level, int n, float x)
{
    return level.getInterpolator().triple(n).evaluate(x)[0];
}

// A reset puts the supply on its rest for the idle stage: silence then leaves
// it where it is, and the output holds the level's rest output from the first
// sample on. The rest lies off the grid's centre, where the idle currents the
// curves give load the supply (without it the supply would creep there over
// tens of seconds).
template <class Level> void expectStartAtRest(const char* label, float s0, float s1)
{
    SCOPED_TRACE(label);
    Rig<Level> rig;
    rig.runConstant(0.3f, 256); // leave the rest
    rig.module.reset();
    const std::vector<float> idle = rig.runConstant(0.0f, 44100);
    EXPECT_NEAR(rig.module.getS0(), s0, 0.05f);
    EXPECT_NEAR(rig.module.getS1(), s1, 0.05f);
    EXPECT_EQ(idle.front(), rig.module.getRestOutput());
    for (float v : idle)
        ASSERT_NEAR(v, rig.module.getRestOutput(), 1e-7f);
    const float atRest0 = rig.module.getS0(), atRest1 = rig.module.getS1();
    rig.runConstant(0.0f, 44100);
    EXPECT_NEAR(rig.module.getS0(), atRest0, 1e-4f) << "nothing left to settle";
    EXPECT_NEAR(rig.module.getS1(), atRest1, 1e-4f);
    EXPECT_NEAR(rig.module.getRestOutput(),
                rig.module.getInterpolator().interpolate(
                    0.0f, {atRest0, atRest1}, rig.module.getFinder().find({atRest0, atRest1}))[0] *
                    rig.module.getOutScale(),
                1e-7f);
}

} // namespace

TEST(PowerAmpLevel1, ResetStartsTheSupplyAtItsRestForTheIdleStage)
{
    expectStartAtRest<V50>("V9E 50W", 488.60f, 487.23f);
    expectStartAtRest<V100>("V9E 100W", 485.92f, 483.96f);
    expectStartAtRest<RKM>("RKM Classic", 659.95f, 345.11f);
}

TEST(PowerAmpLevel1, AtVolumeZeroTheSupplySettlesUnderTheIdleCurrents)
{
    Rig<V50> rig;
    rig.set("Volume", 0.0f);
    const std::vector<float> out = rig.run(sine(1.0, 100.0, 1.0, 44100.0));
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::fabs(v) < 1e-8f; }))
        << "v(0) = 0 on the V9E";
    const float s0 = rig.module.getS0(), s1 = rig.module.getS1();
    rig.runConstant(0.0f, 4410);
    EXPECT_NEAR(rig.module.getS0(), s0, 0.01f) << "settled";
    EXPECT_NEAR(rig.module.getS1(), s1, 0.01f) << "settled";
    // The idle currents of the centre triple are a little below the stored
    // idle input, so the supply rests a little above its operating point.
    EXPECT_GT(s0, 485.0f);
    EXPECT_LT(s0, 490.0f);
    EXPECT_GT(s1, 484.0f);
    EXPECT_LT(s1, s0);

    Rig<RKM> rkm;
    rkm.set("Volume", 0.0f);
    const std::vector<float> offset = rkm.run(sine(1.0, 100.0, 0.1, 44100.0));
    const float v0 = rkm.module.getRestOutput();
    EXPECT_NE(v0, 0.0f);
    EXPECT_EQ(offset[0], v0) << "the RKM Classic's offset at rest";
    EXPECT_NEAR(offset.back(), v0, 0.05f * std::fabs(v0));
}

TEST(PowerAmpLevel1, ARaisedMainsLiftsTheSupplyOffTheTopOfTheGrid)
{
    Rig<V50> rig;
    rig.set("Variac", 1.5f);
    EXPECT_EQ(rig.module.getSupply(), 1.5f * 494.5f);
    rig.runConstant(0.0f, 44100);
    EXPECT_GT(rig.module.getS0(), 700.0f);
    EXPECT_GT(rig.module.getS1(), 700.0f);
    // Clamped at the top values: triple 9 alone.
    const float in = -0.4f;
    const float gain = 0.5f * rig.module.getDrive();
    EXPECT_EQ(rig.run({in, 0, 0, 0})[0],
              triple(rig.module, 9, gain * in) * rig.module.getOutScale());
}

TEST(PowerAmpLevel1, ALoudSignalSagsTheSupplyUnlessThePlateLoadIsOff)
{
    const std::vector<float> loud = sine(8.0, 60.0, 0.5, 44100.0);
    auto lowest = [](auto& rig, const std::vector<float>& x) {
        float s0 = rig.module.getS0();
        for (std::size_t k = 0; k < x.size(); k += 64) {
            rig.run(std::vector<float>(
                x.begin() + static_cast<std::ptrdiff_t>(k),
                x.begin() + static_cast<std::ptrdiff_t>(std::min(x.size(), k + 64))));
            s0 = std::min(s0, rig.module.getS0());
        }
        return s0;
    };
    // The sag at the end of the loud passage against the same time in silence.
    auto sagAfter = [&](float plateGain) {
        Rig<V50> loudRig, quietRig;
        loudRig.set("PlateCurrentGain", plateGain);
        quietRig.set("PlateCurrentGain", plateGain);
        const float sagged = lowest(loudRig, loud);
        quietRig.runConstant(0.0f, loud.size());
        if (plateGain > 0.0f) {
            EXPECT_LT(sagged, 480.0f) << "s0 falls below the operating point, to the lower cells";
            EXPECT_EQ(loudRig.module.getFinder().find({sagged, 484.0f}).lo0, 0u);
        } else {
            EXPECT_GT(sagged, 484.0f) << "only the screens load the supply";
        }
        return quietRig.module.getS0() - loudRig.module.getS0();
    };
    const float withPlates = sagAfter(1.0f);
    const float screensOnly = sagAfter(0.0f);
    EXPECT_GT(withPlates, 10.0f);
    EXPECT_LT(screensOnly, 0.2f * withPlates);
    {
        Rig<RKM> rig;
        EXPECT_LT(lowest(rig, loud), 650.0f);
    }
}

TEST(PowerAmpLevel1, ARateChangeRebuildsTheSupplyForTheNewRate)
{
    const std::vector<float> x = sine(3.0, 73.0, 0.2, 96000.0);
    Rig<RKM> changed(44100.0f);
    changed.run(sine(3.0, 73.0, 0.05, 44100.0));
    changed.setRate(96000.0f);
    ASSERT_EQ(changed.module.getSolver()->getSampleRate(), 96000.0f);
    changed.module.reset();
    Rig<RKM> built(96000.0f);
    built.module.reset();
    EXPECT_EQ(changed.run(x), built.run(x));
    // An update at an unchanged rate keeps the supply where it is.
    const auto* solver = changed.module.getSolver();
    const float s0 = changed.module.getS0();
    changed.setRate(96000.0f);
    EXPECT_EQ(changed.module.getSolver(), solver);
    EXPECT_EQ(changed.module.getS0(), s0);
}

TEST(PowerAmpLevel1, OutOfRangeSettingsActAsTheRangesEnds)
{
    Rig<V50> rig;
    rig.set("Variac", 2.0f);
    EXPECT_EQ(rig.get("Variac"), 1.5f);
    EXPECT_EQ(rig.module.getSupply(), 1.5f * 494.5f);
    for (float gain : {1e3f, kInf}) {
        rig.set("GainPre", gain);
        rig.set("PlateCurrentGain", 1e6f);
        EXPECT_EQ(rig.module.getDrive(), 1e4f);
        EXPECT_TRUE(allFinite(rig.run(sine(1.0, 80.0, 0.05, 44100.0)))) << gain;
        EXPECT_TRUE(rig.module.getSolver()->isFinite());
    }
}

namespace {

template <class Level> void expectBadInputForgotten(const char* label, float restS0)
{
    SCOPED_TRACE(label);
    Rig<Level> rig;
    std::vector<float> x = sine(1.0, 100.0, 0.05, 44100.0);
    for (std::size_t k = 100; k < x.size(); k += 97)
        x[k] = (k / 97) % 3 == 0 ? kNaN : ((k / 97) % 3 == 1 ? kInf : -kInf);
    EXPECT_TRUE(allFinite(rig.run(x)));
    EXPECT_TRUE(std::isfinite(rig.module.getS0()));
    EXPECT_TRUE(std::isfinite(rig.module.getS1()));
    rig.runConstant(0.0f, 44100 / 2);
    EXPECT_NEAR(rig.module.getS0(), restS0, 5.0f) << "back in its normal range";
}

} // namespace

TEST(PowerAmpLevel1, NonFiniteInputLeavesOutputAndSupplyFinite)
{
    expectBadInputForgotten<V50>("V9E 50W", 486.0f);
    expectBadInputForgotten<RKM>("RKM Classic", 660.0f);
}

// The model's curves are built once and shared read-only: two stages read the
// same tables, and a stage made after both are gone plays exactly what they
// played.
TEST(PowerAmpLevel1, StagesShareTheModelsCurvesAndALaterStagePlaysTheSame)
{
    const std::vector<float> input = test::noise(4096, 7, 0.8f);
    std::vector<float> first;
    {
        auto a = std::make_unique<Rig<V50>>();
        auto b = std::make_unique<Rig<V50>>();
        EXPECT_EQ(&a->module.getStageTable(), &b->module.getStageTable());
        EXPECT_EQ(&a->module.getInterpolator().triple(5).getFunction().getVOut(),
                  &b->module.getInterpolator().triple(5).getFunction().getVOut());
        first = a->run(input);
        EXPECT_EQ(b->run(input), first);
    }
    Rig<V50> later;
    EXPECT_EQ(later.run(input), first);
}
