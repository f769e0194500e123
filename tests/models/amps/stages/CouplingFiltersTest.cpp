#include "StageHarness.h"

#include "models/amps/stages/RE500Stages.h"
#include "models/amps/stages/RKM4ProStages.h"
#include "models/amps/stages/RKMClassicStages.h"
#include "models/amps/stages/V9EStages.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using stagetest::dB;
using stagetest::Harness;

namespace {

struct Coupling {
    std::string name;
    std::function<std::unique_ptr<ModuleBasic>()> make;
    float rest;
};

template <class Stage> Coupling coupling(std::string name, float rest)
{
    return {std::move(name), [] { return std::make_unique<Stage>(); }, rest};
}

const std::vector<Coupling>& couplings()
{
    static const std::vector<Coupling> list = {
        coupling<BorvanRKMClassicHeadTraitsDetails::HPF1>("RKMClassic HPF1", 221.996f),
        coupling<BorvanRKMClassicHeadTraitsDetails::HPF2>("RKMClassic HPF2", 226.361f),
        coupling<BorvanRKMClassicHeadTraitsDetails::HPF4>("RKMClassic HPF4", 119.448273f),
        coupling<BorvanRKM4ProTraitsDetails::HPF1>("RKM4Pro HPF1", 187.16620f),
        coupling<BorvanRKM4ProTraitsDetails::HPF2>("RKM4Pro HPF2", 134.81880f),
        coupling<BorvanRKM4ProTraitsDetails::HPF3>("RKM4Pro HPF3", 188.70256f),
        coupling<BorvanV9ETraitsDetails::HPF1>("V9E HPF1", 232.4967f),
        coupling<BorvanV9ETraitsDetails::HPF2>("V9E HPF2", 233.30695f),
        coupling<BorvanV9ETraitsDetails::HPF4>("V9E HPF4", 120.40674f),
    };
    return list;
}

// The tube stage before each filter rests at a plate voltage; fed that level,
// the filter outputs exact zeros from the first sample on, after prepare and
// after a reset, at every rate.
TEST(CouplingHighPass, StartsSettledOnTheRestLevel)
{
    for (float rate : {22050.0f, 44100.0f, 96000.0f}) {
        for (const Coupling& c : couplings()) {
            auto stage = c.make();
            Harness harness(*stage, rate);
            const std::string where = c.name + " at " + std::to_string(rate);
            EXPECT_TRUE(stagetest::allZero(harness.runConstant(c.rest, 4096)))
                << where << " after prepare";

            std::vector<float> swing = test::noise(1000, 3, 50.0f);
            for (float& v : swing)
                v += c.rest;
            harness.run(swing);
            stage->reset();
            EXPECT_TRUE(stagetest::allZero(harness.runConstant(c.rest, 4096)))
                << where << " after reset";
        }
    }
}

TEST(CouplingHighPass, BlocksTheRestLevelAndPassesTheSwing)
{
    for (const Coupling& c : couplings()) {
        auto stage = c.make();
        Harness harness(*stage);
        // A step away from rest dies out...
        const std::vector<float> out = harness.runConstant(c.rest + 10.0f, 44100 * 3);
        EXPECT_GT(out.front(), 5.0f) << c.name;
        EXPECT_LT(std::fabs(out.back()), 0.01f) << c.name;
        // ...and a bass note riding on the plate voltage goes through.
        EXPECT_NEAR(harness.gainAt(200.0, 0.3, 0.1, c.rest), 1.0, 0.02) << c.name;
    }
}

// Corners that are prewarped land exactly at any rate: Q 0.5 gives -6.02 dB at
// the corner, Q 3 gives +9.54 dB. (Above 96 kHz the float coefficient record
// itself cannot hold poles this close to z = 1 to better than a few tenths of
// a dB, so the rates stop there.)
TEST(CouplingHighPass, PrewarpedSecondOrderCornersAreExactAtAnyRate)
{
    struct Case {
        std::string name;
        std::function<std::unique_ptr<ModuleBasic>()> make;
        double hertz;
        double gainDb;
    };
    const Case cases[] = {
        {"RE500 HPF", [] { return std::make_unique<BorvanRE500TraitsDetails::HPF>(); }, 15.0,
         -6.0206},
        {"RKMClassic HPF4",
         [] { return std::make_unique<BorvanRKMClassicHeadTraitsDetails::HPF4>(); }, 27.0, 9.5424},
    };
    for (const Case& c : cases) {
        for (float rate : {11025.0f, 22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f}) {
            auto stage = c.make();
            Harness harness(*stage, rate);
            const auto& z = static_cast<BiquadFilter<>&>(*stage).getCoefficients();
            EXPECT_NEAR(dB(std::abs(stagetest::biquadResponse(z, c.hertz, rate))), c.gainDb, 0.05)
                << c.name << " at " << rate;
        }
    }
    // And through the module: a 27 Hz sine riding on the rest level comes out
    // three times as loud.
    BorvanRKMClassicHeadTraitsDetails::HPF4 hpf4;
    Harness harness(hpf4);
    EXPECT_NEAR(harness.gainAt(27.0, 2.0, 1.0, 119.448f), 3.0, 0.01);
}

// A slow swing of a millivolt on the 119 V plate, as the tail of a note leaves
// it: at 5 Hz the 27 Hz high-pass passes (5/27)^2 of it, about 34 uV. Filtered
// on the plate voltage itself, the round-off of each sum (some 1e-5 V) would
// come out raised by the poles near z = 1, the more so the higher the rate.
TEST(CouplingHighPass, RoundOffOnThePlateVoltageStaysBelowTheSwing)
{
    for (float rate : {44100.0f, 192000.0f}) {
        BorvanRKMClassicHeadTraitsDetails::HPF4 hpf4;
        Harness harness(hpf4, rate);
        const auto n = static_cast<std::size_t>(rate);
        std::vector<float> plate = test::sine(n, 1e-3f, 5.0, rate);
        for (float& x : plate)
            x += 119.448f;
        const std::vector<float> out = harness.run(plate);
        float peak = 0.0f;
        for (std::size_t k = n / 2; k < n; ++k)
            peak = std::max(peak, std::fabs(out[k]));
        EXPECT_NEAR(peak, 3.5e-5f, 1e-5f) << rate;
    }
}

TEST(CouplingHighPass, V9EBandLimitIsFlatBetweenItsCorners)
{
    BorvanV9ETraitsDetails::HPF2 hpf2;
    Harness harness(hpf2);
    const auto& z = hpf2.getCoefficients();
    EXPECT_NEAR(std::abs(stagetest::biquadResponse(z, 1000.0, 44100.0)), 1.0, 0.002);
    EXPECT_NEAR(dB(std::abs(stagetest::biquadResponse(z, 12500.0, 44100.0))), -3.01, 0.01);
    EXPECT_NEAR(dB(std::abs(stagetest::biquadResponse(z, 1.0, 44100.0))), -3.01, 0.01);
}

TEST(CouplingHighPass, ARateChangeRedesignsAndKeepsTheState)
{
    BorvanRKMClassicHeadTraitsDetails::HPF4 hpf4;
    Harness harness(hpf4, 44100.0f);
    const auto before = hpf4.getCoefficients();
    harness.setRate(48000.0f);
    const auto after = hpf4.getCoefficients();
    EXPECT_NE(before.b0, after.b0);
    EXPECT_NEAR(std::abs(stagetest::biquadResponse(after, 27.0, 48000.0)), 3.0, 0.002);
    // Still settled on its rest level.
    EXPECT_TRUE(stagetest::allZero(harness.runConstant(119.448273f, 256)));
}

} // namespace
