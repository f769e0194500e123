// The tube power amp as the heads hold it: the detail selector with its kept
// settings, the parameters seen from outside, the post filter at both levels
// and the out-of-range settings across a switch.
#include "PowerAmpRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace powertest;

constexpr float kInf = std::numeric_limits<float>::infinity();

const char* const kSix[6] = {"Volume", "GainPre",          "GainPost",
                             "Variac", "PlateCurrentGain", "ScreenCurrentGain"};

struct Shown {
    std::string name;
    float minimum, maximum, defaultValue;
    std::uint32_t flags;
    bool operator==(const Shown&) const = default;
};

template <class Amp> std::vector<Shown> shown(Amp& amp)
{
    std::vector<Shown> list;
    for (const auto& [name, p] : amp.getParameters())
        list.push_back({name, p->getMinimum(), p->getMaximum(), p->getDefault(), p->getFlags()});
    return list;
}

template <class Amp> void expectSwitching(const char* label)
{
    SCOPED_TRACE(label);
    Rig<Amp> rig;
    auto& selector = rig.module.getSelector();
    EXPECT_EQ(rig.module.getInfo().type, "PowerAmp");
    EXPECT_EQ(selector.getInfo().type, "ModuleSelector");
    EXPECT_EQ(selector.getElement(0).getInfo().type, "PowerAmpL0");
    EXPECT_EQ(selector.getElement(1).getInfo().type, "PowerAmpL1");
    EXPECT_EQ(selector.getElement(1).getInfo().description, "PowerAmp DSM level 1");
    EXPECT_EQ(rig.get("DSM"), 0.0f);
    EXPECT_EQ(selector.getCurrentIndex(), 0u);
    const auto& states = rig.module.getParameter("DSM").getStates();
    EXPECT_EQ(states.find("Level0"), 0.0f);
    EXPECT_EQ(states.find("Level1"), 1.0f);

    const std::vector<Shown> atLevel0 = shown(rig.module);
    ASSERT_EQ(atLevel0.size(), 7u);
    const float values[6] = {0.8f, 12.0f, -6.0f, 1.2f, 2.5f, 0.5f};
    for (int k = 0; k < 6; ++k)
        rig.set(kSix[k], values[k]);

    rig.set("DSM", 0.4f);
    EXPECT_EQ(selector.getCurrentIndex(), 0u) << "0.4 after 0 does not switch";
    rig.set("DSM", 1.0f);
    EXPECT_EQ(selector.getCurrentIndex(), 1u);
    EXPECT_EQ(shown(rig.module), atLevel0) << "the same list at level 1";
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(rig.get(kSix[k]), values[k]) << kSix[k] << " at level 1";
    rig.set("DSM", 0.0f);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(rig.get(kSix[k]), values[k]) << kSix[k] << " back at level 0";
    auto& level0 = static_cast<CX2::PowerAmpLevelBase&>(selector.getElement(0));
    EXPECT_EQ(level0.getSupply(), 1.2f * level0.getCalibration().variac) << "survives at level 0";
}

} // namespace

TEST(PowerAmp, ASwitchOfDetailKeepsEverySetting)
{
    expectSwitching<PowerAmpBorvanV9E_50W>("V9E 50W");
    expectSwitching<PowerAmpBorvanV9E_100W>("V9E 100W");
    expectSwitching<PowerAmpBorvanRKMClassicHead>("RKM Classic");
}

namespace {

// Samples until the output has fallen to 1/e of its first value.
std::size_t eFolding(const std::vector<float>& y)
{
    const float limit = std::fabs(y[0]) / std::exp(1.0f);
    for (std::size_t k = 0; k < y.size(); ++k)
        if (std::fabs(y[k]) <= limit)
            return k;
    return y.size();
}

template <class Amp> void expectDcDecay(const char* label, double cornerHz, float dc)
{
    const double rate = 44100.0;
    const double tau = rate / (2.0 * 3.14159265358979323846 * cornerHz);
    for (float level : {0.0f, 1.0f}) {
        SCOPED_TRACE(std::string(label) + " at level " + std::to_string(static_cast<int>(level)));
        Rig<Amp> rig(static_cast<float>(rate));
        rig.set("DSM", level);
        rig.module.reset();
        const std::vector<float> y = rig.runConstant(dc, static_cast<std::size_t>(12.0 * tau));
        EXPECT_NE(y[0], 0.0f);
        EXPECT_NEAR(static_cast<double>(eFolding(y)), tau, 0.03 * tau);
        EXPECT_LT(std::fabs(y.back()), 1e-3f * std::fabs(y[0]));
    }
}

} // namespace

TEST(PowerAmp, DCDecaysThroughThePostFilterAtBothLevels)
{
    expectDcDecay<PowerAmpBorvanV9E_50W>("V9E 50W", 12.7, 0.02f);
    expectDcDecay<PowerAmpBorvanV9E_100W>("V9E 100W", 12.7, 0.02f);
    expectDcDecay<PowerAmpBorvanRKMClassicHead>("RKM Classic", 25.0, 0.002f);
    // The RKM Classic's offset at zero input goes the same way.
    expectDcDecay<PowerAmpBorvanRKMClassicHead>("RKM Classic at rest", 25.0, 0.0f);
    // The two V9E amps share one post-filter design.
    Rig<PowerAmpBorvanV9E_50W> v50;
    Rig<PowerAmpBorvanV9E_100W> v100;
    const auto a = v50.module.getFilterPost().getCoefficients();
    const auto b = v100.module.getFilterPost().getCoefficients();
    EXPECT_EQ(a.b0, b.b0);
    EXPECT_EQ(a.a1, b.a1);
}

TEST(PowerAmp, AnOutOfRangeGainSurvivesASwitchUnchanged)
{
    Rig<PowerAmpBorvanV9E_50W> rig;
    rig.set("GainPre", 90.0f);
    EXPECT_EQ(rig.get("GainPre"), 80.0f);
    const std::vector<float> x = sine(0.001, 200.0, 0.02, 44100.0);
    rig.module.reset();
    const std::vector<float> before = rig.run(x);
    rig.set("DSM", 1.0f);
    rig.set("DSM", 0.0f);
    rig.module.reset();
    EXPECT_EQ(rig.run(x), before);
    for (float gain : {1e3f, kInf}) {
        rig.set("GainPre", gain);
        for (float level : {1.0f, 0.0f}) {
            rig.set("DSM", level);
            EXPECT_TRUE(allFinite(rig.run(sine(1.0, 80.0, 0.05, 44100.0))))
                << gain << " at level " << level;
        }
    }
}

TEST(PowerAmp, ARateChangeReachesTheLevelThatIsSwitchedAway)
{
    Rig<PowerAmpBorvanRKMClassicHead> rig;
    rig.setRate(96000.0f);
    auto& level1 = static_cast<CX2::PowerAmpLevel1<PowerAmpBorvanRKMClassicHeadL1Traits>&>(
        rig.module.getSelector().getElement(1));
    EXPECT_EQ(level1.getSolver()->getSampleRate(), 96000.0f);
    const auto z = rig.module.getFilterPost().getCoefficients();
    const double fs = 96000.0, w = 2.0 * fs * std::tan(3.14159265358979323846 * 25.0 / fs);
    EXPECT_NEAR(z.a1, (w - 2.0 * fs) / (w + 2.0 * fs), 1e-6);
}
