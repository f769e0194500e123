// The tube power amp as the heads hold it: the detail selector with its kept
// settings, the parameters seen from outside, the post filter at both levels
// and the out-of-range settings across a switch.
#include "PowerAmpRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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
    // The two V9E amps share one post-filter design.
    Rig<PowerAmpBorvanV9E_50W> v50;
    Rig<PowerAmpBorvanV9E_100W> v100;
    const auto a = v50.module.getFilterPost().getCoefficients();
    const auto b = v100.module.getFilterPost().getCoefficients();
    EXPECT_EQ(a.b0, b.b0);
    EXPECT_EQ(a.a1, b.a1);
}

namespace {

template <class Amp> void expectSilenceAtRest(const char* label)
{
    SCOPED_TRACE(label);
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        Rig<Amp> rig(rate);
        // Level 1's supply rests where its step keeps it to within rounding:
        // what is left is far below anything audible.
        auto silent = [&](const char* when) {
            const std::vector<float> y = rig.runConstant(0.0f, 4096);
            for (float v : y)
                ASSERT_LE(std::fabs(v), 1e-7f) << when << " at " << rate << " Hz";
        };
        silent("fresh at level 0");
        rig.set("DSM", 1.0f);
        silent("switched to level 1");
        rig.set("GainPost", 6.0f);
        rig.set("Variac", 1.1f);
        rig.module.reset();
        silent("reset with other settings");
        rig.set("DSM", 0.0f);
        silent("switched back to level 0");
        rig.runConstant(0.5f, 4096);
        rig.module.reset();
        silent("reset after a loud passage");
    }
}

} // namespace

// A curve that is not zero at zero drive (the RKM Classic's) gives each level
// an offset at rest. The post filter takes that rest level off before it
// filters, so a fresh or reset amp, a switch of detail or a calibration change
// at rest puts out silence instead of the offset's decay.
TEST(PowerAmp, SilenceGivesSilenceFromTheFirstSample)
{
    Rig<PowerAmpBorvanRKMClassicHead> classic;
    for (float level : {0.0f, 1.0f}) {
        classic.set("DSM", level);
        classic.runConstant(0.0f, 64);
        EXPECT_NE(classic.module.getSelector().getRestOutput(), 0.0f) << "level " << level;
    }
    expectSilenceAtRest<PowerAmpBorvanRKMClassicHead>("RKM Classic");
    expectSilenceAtRest<PowerAmpBorvanV9E_50W>("V9E 50W");
    expectSilenceAtRest<PowerAmpBorvanV9E_100W>("V9E 100W");
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

namespace {

double rmsWithoutMean(const std::vector<float>& y, std::size_t from)
{
    double mean = 0.0;
    for (std::size_t k = from; k < y.size(); ++k)
        mean += y[k];
    mean /= static_cast<double>(y.size() - from);
    double sum = 0.0;
    for (std::size_t k = from; k < y.size(); ++k)
        sum += (y[k] - mean) * (y[k] - mean);
    return std::sqrt(sum / static_cast<double>(y.size() - from));
}

} // namespace

// The RKM Classic's two levels at the same drive, from the curve sets alone.
// Level 0 is the fifth output curve with every value raised by 10^0.3 and no
// supply. Level 1 starts on the centre grid point, where its blend is that
// same fifth curve as stored, and under load its supply sags towards the
// lower grid triples, whose curves saturate lower (triple 1 ends at 38.4
// against triple 5's 63.9). So a small signal comes out 20 log10(10^0.3) =
// 6.02 dB louder at level 0, and at full drive level 0 holds 1.995 x 63.95
// while level 1 holds the plateau of the blend at the supply point it sags to,
// between 6 and 10.5 dB lower. The head's level-1 sound being quieter and
// rougher than level 0 is the curve sets' own difference.
TEST(PowerAmp, TheRKMClassicLevelsDifferAsTheirCurveSetsSay)
{
    using L0 = CX2::PowerAmpLevel0<PowerAmpBorvanRKMClassicHeadL0Traits>;
    using L1 = CX2::PowerAmpLevel1<PowerAmpBorvanRKMClassicHeadL1Traits>;
    namespace T = PowerAmpBorvanRKMClassicHeadTraitsDetails::CurveTables;
    const double boost = std::pow(10.0, 0.3);
    const double kRate = 44100.0;

    // Small signal: at Volume 0.5 and GainPre 0 the drive is 15, so 0.002
    // reaches the curves at +-0.03, well inside their straight middle.
    {
        Rig<L0> level0;
        Rig<L1> level1;
        const std::vector<float> x = sine(0.002, 1000.0, 0.2, kRate);
        const double ratioDb = 20.0 * std::log10(rmsWithoutMean(level0.run(x), 4410) /
                                                 rmsWithoutMean(level1.run(x), 4410));
        EXPECT_NEAR(ratioDb, 20.0 * std::log10(boost), 0.05);
        std::printf("RKM Classic, small signal: level 0 over level 1 %.3f dB\n", ratioDb);
    }

    // Full drive: 4.0 at a drive of 15 is twice the curves' range; both
    // levels sit on their plateaus.
    Rig<L0> level0;
    Rig<L1> level1;
    const std::vector<float> x = sine(4.0, 1000.0, 1.0, kRate);
    const std::vector<float> y0 = level0.run(x);
    const std::vector<float> y1 = level1.run(x);
    const auto top = [](const std::vector<float>& y) {
        return *std::max_element(y.end() - 4410, y.end());
    };
    const float outScale = level0.module.getOutScale();
    ASSERT_EQ(outScale, level1.module.getOutScale());
    EXPECT_NEAR(top(y0), boost * T::VOutClipperCurve5[180] * outScale, 1e-3 * top(y0));

    // The plateau of the level-1 blend at the supply point it sagged to,
    // bilinear between the grid's triples (the axes clamp the point).
    const double axis0[3] = {400.0, 660.0, 750.0}, axis1[3] = {280.0, 345.0, 450.0};
    const float* const ends[9] = {T::VOutClipperCurve1, T::VOutClipperCurve2, T::VOutClipperCurve3,
                                  T::VOutClipperCurve4, T::VOutClipperCurve5, T::VOutClipperCurve6,
                                  T::VOutClipperCurve7, T::VOutClipperCurve8, T::VOutClipperCurve9};
    const auto weight = [](const double(&axis)[3], double s, int& lo) {
        lo = s >= axis[1] ? 1 : 0;
        const double c = std::clamp(s, axis[0], axis[2]);
        return (c - axis[lo]) / (axis[lo + 1] - axis[lo]);
    };
    int lo0 = 0, lo1 = 0;
    const double t0 = weight(axis0, level1.module.getS0(), lo0);
    const double t1 = weight(axis1, level1.module.getS1(), lo1);
    const auto end = [&](int i0, int i1) { return double(ends[i0 + 3 * i1][180]); };
    const double plateau = (1 - t1) * ((1 - t0) * end(lo0, lo1) + t0 * end(lo0 + 1, lo1)) +
                           t1 * ((1 - t0) * end(lo0, lo1 + 1) + t0 * end(lo0 + 1, lo1 + 1));
    EXPECT_LT(level1.module.getS0(), 660.0f) << "the supply sagged";
    EXPECT_NEAR(top(y1), plateau * outScale, 0.02 * plateau * outScale);
    const double dropDb = 20.0 * std::log10(top(y0) / top(y1));
    EXPECT_GT(dropDb, 20.0 * std::log10(boost) - 0.1);
    EXPECT_LT(dropDb,
              20.0 * std::log10(boost * T::VOutClipperCurve5[180] / T::VOutClipperCurve1[180]) +
                  0.1);
    std::printf("RKM Classic, full drive: supply (%.1f, %.1f), plateau %.2f, level 0 over level 1 "
                "%.2f dB\n",
                level1.module.getS0(), level1.module.getS1(), plateau, dropDb);
}
