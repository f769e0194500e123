#include "StageHarness.h"

#include "models/amps/stages/MidEqV9E.h"
#include "models/amps/stages/RE500Stages.h"
#include "models/amps/stages/RKM4ProStages.h"
#include "models/amps/stages/RKMClassicStages.h"
#include "models/amps/stages/ShelfMitraHigh.h"
#include "models/amps/stages/V9EStages.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using stagetest::biquadResponse;
using stagetest::dB;
using stagetest::firstOrderResponse;
using stagetest::Harness;

namespace {

const float pad = static_cast<float>(std::pow(10.0, -0.75)); // -15 dB

// ---- RE500 gain stage ----

TEST(RE500Gain, ZeroGainIsExactSilenceWhateverThePad)
{
    for (float padOn : {0.0f, 1.0f}) {
        BorvanRE500TraitsDetails::Gain gain;
        Harness harness(gain);
        gain.setParameter("Pad", padOn);
        gain.setParameter("Gain", 0.0f);
        EXPECT_TRUE(stagetest::allZero(harness.run(test::noise(512, 5, 10.0f)))) << padOn;
    }
}

TEST(RE500Gain, PassBandGainAndBandwidthFollowTheKnob)
{
    struct Case {
        float knob;
        float padOn;
        double passBand;
        bool lowPass; // false: a plain gain
    };
    const Case cases[] = {
        {0.5f, 0.0f, 0.1, false},
        {0.5f, 1.0f, 0.1 * pad, false},
        {1.0f, 0.0f, 1.0, true},
        {1.0f, 1.0f, pad, true},
        {0.88f, 0.0f, std::pow(0.88, 3.321928), false},
        {0.882f, 0.0f, std::pow(0.882, 3.321928), true},
    };
    for (const Case& c : cases) {
        BorvanRE500TraitsDetails::Gain gain;
        Harness harness(gain);
        gain.setParameter("Pad", c.padOn);
        gain.setParameter("Gain", c.knob);
        const auto& z = gain.getCoefficients();
        const std::string where =
            "Gain " + std::to_string(c.knob) + " Pad " + std::to_string(c.padOn);
        EXPECT_NEAR(std::abs(firstOrderResponse(z, 0.0, 44100.0)), c.passBand, c.passBand * 1e-5)
            << where;
        EXPECT_EQ(z.b1 != 0.0f, c.lowPass) << where;
        EXPECT_EQ(z.a1 != 0.0f, c.lowPass) << where;
    }
}

TEST(RE500Gain, FullGainIsALowPassAt14468Hz)
{
    for (float padOn : {0.0f, 1.0f}) {
        BorvanRE500TraitsDetails::Gain gain;
        Harness harness(gain);
        gain.setParameter("Pad", padOn);
        gain.setParameter("Gain", 1.0f);
        const auto& z = gain.getCoefficients();
        const double dc = std::abs(firstOrderResponse(z, 0.0, 44100.0));
        EXPECT_NEAR(dB(std::abs(firstOrderResponse(z, 14468.6, 44100.0)) / dc), -3.0103, 0.01)
            << padOn;
    }
    // Through the module, at unity pass band.
    BorvanRE500TraitsDetails::Gain gain;
    Harness harness(gain);
    gain.setParameter("Gain", 1.0f);
    EXPECT_NEAR(harness.gainAt(100.0), 1.0, 0.001);
}

// ---- RKM4Pro input filter and bright switch ----

TEST(RKM4ProPreFilter, PadLowersEveryFrequencyByExactly15dB)
{
    for (float rate : {22050.0f, 44100.0f, 96000.0f}) {
        BorvanRKM4ProTraitsDetails::PreFilter1 filter;
        Harness harness(filter, rate);
        const auto open = filter.getCoefficients();
        filter.setParameter("Pad", 1.0f);
        const auto padded = filter.getCoefficients();
        for (double hz = 20.0; hz < rate / 2.0; hz *= 1.25)
            EXPECT_NEAR(dB(std::abs(biquadResponse(padded, hz, rate)) /
                           std::abs(biquadResponse(open, hz, rate))),
                        -15.0, 1e-4)
                << hz << " Hz at " << rate;
    }
}

TEST(RKM4ProPreFilter, ShelvesUpThreeDecibelsAndCutsAt16kHz)
{
    BorvanRKM4ProTraitsDetails::PreFilter1 filter;
    Harness harness(filter, 48000.0f);
    const auto& z = filter.getCoefficients();
    const auto shelf =
        CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{2700.0f, 3.0f}.transform(48000.0f);
    EXPECT_NEAR(std::abs(biquadResponse(z, 0.0, 48000.0)), 1.0, 1e-5);
    EXPECT_NEAR(dB(std::abs(biquadResponse(z, 16000.0, 48000.0)) /
                   std::abs(firstOrderResponse(shelf, 16000.0, 48000.0))),
                -3.0103, 0.01);
}

TEST(RKM4ProBright, OnLiftsAbove600HzAndMovesTheTopCut)
{
    BorvanRKM4ProTraitsDetails::Bright bright;
    Harness harness(bright);
    const auto off = bright.getCoefficients();
    bright.setParameter("Bright", 1.0f);
    const auto on = bright.getCoefficients();
    // Below the shelf nothing changes; above it the lift grows to nearly 5 dB
    // (against the 0.3 dB of "Off") until the lower top cut takes over.
    EXPECT_NEAR(dB(std::abs(biquadResponse(on, 30.0, 44100.0)) /
                   std::abs(biquadResponse(off, 30.0, 44100.0))),
                0.0, 0.05);
    double largest = 0.0;
    for (double hz = 600.0; hz < 20000.0; hz *= 1.05) {
        const double lift = dB(std::abs(biquadResponse(on, hz, 44100.0)) /
                               std::abs(biquadResponse(off, hz, 44100.0)));
        if (hz < 8000.0) {
            EXPECT_GT(lift, 0.5) << hz;
        }
        largest = std::max(largest, lift);
    }
    EXPECT_GT(largest, 4.0);
    EXPECT_LT(largest, 5.0);
    // The top cut, against the shelf alone: -3 dB at 12.5 kHz "Off", 8.5 kHz "On".
    const auto shelfOff =
        CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{600.0f, 0.3f}.transform(44100.0f);
    const auto shelfOn =
        CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{600.0f, 5.0f}.transform(44100.0f);
    EXPECT_NEAR(dB(std::abs(biquadResponse(off, 12500.0, 44100.0)) /
                   std::abs(firstOrderResponse(shelfOff, 12500.0, 44100.0))),
                -3.0103, 0.01);
    EXPECT_NEAR(dB(std::abs(biquadResponse(on, 8500.0, 44100.0)) /
                   std::abs(firstOrderResponse(shelfOn, 8500.0, 44100.0))),
                -3.0103, 0.01);
}

// ---- Corners at or above the Nyquist frequency ----

// Every filter of the preamps at one setting.
struct Filter {
    std::string name;
    std::function<std::unique_ptr<ModuleBasic>()> make;
    std::vector<std::pair<const char*, float>> settings;
    float rest = 0.0f; // the level a coupling filter idles on
};

template <class Stage>
Filter filter(std::string name, std::vector<std::pair<const char*, float>> settings = {},
              float rest = 0.0f)
{
    return {std::move(name), [] { return std::make_unique<Stage>(); }, std::move(settings), rest};
}

std::vector<Filter> allFilters()
{
    namespace Classic = BorvanRKMClassicHeadTraitsDetails;
    namespace Pro = BorvanRKM4ProTraitsDetails;
    namespace V9E = BorvanV9ETraitsDetails;
    namespace RE500 = BorvanRE500TraitsDetails;
    std::vector<Filter> list = {
        filter<Classic::HPF1>("RKMClassic HPF1", {}, 221.996f),
        filter<Classic::HPF2>("RKMClassic HPF2", {}, 226.361f),
        filter<Classic::HPF4>("RKMClassic HPF4", {}, 119.448273f),
        filter<Classic::UltraLo>("RKMClassic UltraLo Off"),
        filter<Classic::UltraLo>("RKMClassic UltraLo On", {{"UltraLo", 1.0f}}),
        filter<Classic::UltraHi>("RKMClassic UltraHi On", {{"UltraHi", 1.0f}}),
        filter<RE500::Gain>("RE500 Gain 1", {{"Gain", 1.0f}}),
        filter<RE500::Gain>("RE500 Gain 0.9 Pad", {{"Gain", 0.9f}, {"Pad", 1.0f}}),
        filter<RE500::HPF>("RE500 HPF"),
        filter<Pro::PreFilter1>("RKM4Pro PrefilterStage1"),
        filter<Pro::PreFilter1>("RKM4Pro PrefilterStage1 Pad", {{"Pad", 1.0f}}),
        filter<Pro::Bright>("RKM4Pro Bright Off"),
        filter<Pro::Bright>("RKM4Pro Bright On", {{"Bright", 1.0f}}),
        filter<Pro::HPF1>("RKM4Pro HPF1", {}, 187.16620f),
        filter<Pro::HPF2>("RKM4Pro HPF2", {}, 134.81880f),
        filter<Pro::HPF3>("RKM4Pro HPF3", {}, 188.70256f),
        filter<Pro::UltraLo>("RKM4Pro UltraLo On", {{"UltraLo", 1.0f}}),
        filter<Pro::UltraHi>("RKM4Pro UltraHi On", {{"UltraHi", 1.0f}}),
        filter<V9E::HPF1>("V9E HPF1", {}, 232.4967f),
        filter<V9E::HPF2>("V9E HPF2", {}, 233.30695f),
        filter<V9E::HPF4>("V9E HPF4", {}, 120.40674f),
        filter<V9E::UltraLo>("V9E UltraLo On", {{"UltraLo", 1.0f}}),
        filter<V9E::UltraHi>("V9E UltraHi On", {{"UltraHi", 1.0f}}),
    };
    // The tone stacks: bilinear images of stable networks, checked by their
    // response alone.
    for (float knob : {0.0f, 1.0f}) {
        const std::vector<std::pair<const char*, float>> knobs = {
            {"Bass", knob}, {"Mid", knob}, {"Treble", knob}};
        list.push_back(
            filter<CX1::ToneEq<Classic::BaxandallSchematic>>("RKMClassic tone stack", knobs));
        list.push_back(filter<CX1::ToneEq<RE500::BaxandallSchematic>>("RE500 tone stack", knobs));
        list.push_back(filter<CX1::ToneEq<Pro::BaxandallSchematic>>("RKM4Pro tone stack", knobs));
        list.push_back(filter<CX1::ToneEq<V9E::BaxandallSchematic>>("V9E tone stack", knobs));
        list.push_back(filter<CX1::ToneEq<RE500::UltraMidSchematic>>("RE500 UltraMid", knobs));
    }
    for (float position = 0.0f; position <= 4.0f; position += 1.0f)
        for (float gain : {0.0f, 1.0f})
            list.push_back(filter<MidEqDetails::MidEqV9E>(
                "MidEq " + std::to_string(position) + " gain " + std::to_string(gain),
                {{"MidFrequency", position}, {"MidGain", gain}}));
    return list;
}

// The largest pole radius of a biquad or first-order section, 0 for others.
double largestPoleRadius(ModuleBasic& module)
{
    if (auto* biquad = dynamic_cast<BiquadFilter<>*>(&module)) {
        const auto& z = biquad->getCoefficients();
        return stagetest::largestPoleRadius(z.a1, z.a2);
    }
    if (auto* firstOrder = dynamic_cast<FilterZeroPole<>*>(&module))
        return std::fabs(firstOrder->getCoefficients().a1);
    return 0.0;
}

// At the standalone host's low rates (and 24 kHz) the 8.5, 12.5 and 16 kHz top
// cuts lie at or above fs / 2; they are left out, and every filter stays
// stable: a loud burst followed by idling dies away to nothing.
TEST(NyquistRule, EveryFilterIsStableAtLowRates)
{
    for (float rate : {11025.0f, 22050.0f, 24000.0f, 32000.0f}) {
        for (const Filter& f : allFilters()) {
            auto stage = f.make();
            Harness harness(*stage, rate);
            for (const auto& [name, value] : f.settings)
                stage->setParameter(name, value);
            const std::string where = f.name + " at " + std::to_string(rate);
            EXPECT_LT(largestPoleRadius(*stage), 1.0) << where;

            std::vector<float> input = test::noise(2000, 5, 100.0f);
            for (float& v : input)
                v = f.rest + v;
            // The 1 to 4 Hz coupling filters take a while to forget a 100 V swing.
            const float seconds = f.rest != 0.0f ? 2.5f : 0.5f;
            input.resize(static_cast<std::size_t>(rate * seconds), f.rest);
            const std::vector<float> out = harness.run(input);
            EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) {
                return std::isfinite(v);
            })) << where;
            const float residual = f.rest != 0.0f ? 1e-3f : 1e-6f;
            EXPECT_LT(std::fabs(out.back()), residual) << where;
        }
    }
}

// Where a top cut lies below fs / 2 it is there, -3 dB against the rest of
// the section at its corner (all corners prewarped): at 44.1 kHz and above
// nothing changes, and at lower rates a cut that still fits is kept.
TEST(NyquistRule, CutsBelowHalfTheRateStayInPlace)
{
    struct Case {
        std::string name;
        std::function<std::unique_ptr<BiquadFilter<>>()> make;
        std::pair<const char*, float> setting;
        double cutHz;
        std::function<std::complex<double>(double hz, double fs)> withoutCut;
        std::vector<float> rates;
    };
    const std::vector<float> high = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f};
    const auto shelf = [](float hz, float gainDb) {
        return [hz, gainDb](double f, double fs) {
            return firstOrderResponse(
                CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{hz, gainDb}.transform(
                    static_cast<float>(fs)),
                f, fs);
        };
    };
    const auto unity = [](double, double) { return std::complex<double>(1.0); };
    std::vector<float> brightOnRates = high;
    brightOnRates.push_back(22050.0f);
    std::vector<float> preFilterRates = high;
    preFilterRates.erase(preFilterRates.begin()); // 44.1 kHz: 16 kHz fits, checked below as well
    preFilterRates.push_back(44100.0f);
    const Case cases[] = {
        {"V9E HPF2",
         [] { return std::make_unique<BorvanV9ETraitsDetails::HPF2>(); },
         {"", 0.0f},
         12500.0,
         unity,
         high},
        {"RKM4Pro PrefilterStage1",
         [] { return std::make_unique<BorvanRKM4ProTraitsDetails::PreFilter1>(); },
         {"", 0.0f},
         16000.0,
         shelf(2700.0f, 3.0f),
         preFilterRates},
        {"RKM4Pro Bright Off",
         [] { return std::make_unique<BorvanRKM4ProTraitsDetails::Bright>(); },
         {"", 0.0f},
         12500.0,
         shelf(600.0f, 0.3f),
         high},
        {"RKM4Pro Bright On",
         [] { return std::make_unique<BorvanRKM4ProTraitsDetails::Bright>(); },
         {"Bright", 1.0f},
         8500.0,
         shelf(600.0f, 5.0f),
         brightOnRates},
    };
    for (const Case& c : cases) {
        for (float rate : c.rates) {
            auto stage = c.make();
            Harness harness(*stage, rate);
            if (*c.setting.first)
                stage->setParameter(c.setting.first, c.setting.second);
            const double ratio = std::abs(biquadResponse(stage->getCoefficients(), c.cutHz, rate)) /
                                 std::abs(c.withoutCut(c.cutHz, rate));
            EXPECT_NEAR(dB(ratio), -3.0103, 0.02) << c.name << " at " << rate;
        }
    }
}

// Below fs / 2 the cut is gone and what remains is the rest of the section.
TEST(NyquistRule, CutsAtOrAboveHalfTheRateAreLeftOut)
{
    BorvanRKM4ProTraitsDetails::PreFilter1 preFilter;
    Harness preHarness(preFilter, 32000.0f);
    const auto p = preFilter.getCoefficients();
    const auto shelf =
        CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{2700.0f, 3.0f}.transform(32000.0f);
    // (Up to the last bit: the compiler may fold the test's own shelf.)
    EXPECT_FLOAT_EQ(p.b0, shelf.b0);
    EXPECT_FLOAT_EQ(p.b1, shelf.b1);
    EXPECT_EQ(p.b2, 0.0f);
    EXPECT_FLOAT_EQ(p.a1, shelf.a1);
    EXPECT_EQ(p.a2, 0.0f);

    BorvanV9ETraitsDetails::HPF2 hpf2;
    Harness hpfHarness(hpf2, 22050.0f);
    const auto h = hpf2.getCoefficients();
    EXPECT_EQ(h.b2, 0.0f);
    EXPECT_EQ(h.a2, 0.0f);
    EXPECT_NEAR(dB(std::abs(biquadResponse(h, 1.0, 22050.0))), -3.0103, 0.01);
    EXPECT_NEAR(std::abs(biquadResponse(h, 11000.0, 22050.0)), 1.0, 1e-4);

    // A rate change moves a filter across the line and back.
    BorvanRKM4ProTraitsDetails::Bright bright;
    Harness brightHarness(bright, 44100.0f);
    bright.setParameter("Bright", 1.0f);
    const auto at44 = bright.getCoefficients();
    brightHarness.setRate(11025.0f);
    EXPECT_EQ(bright.getCoefficients().a2, 0.0f);
    brightHarness.setRate(44100.0f);
    EXPECT_EQ(bright.getCoefficients().b0, at44.b0);
    EXPECT_EQ(bright.getCoefficients().a2, at44.a2);
}

} // namespace
