#include "StompRig.h"

#include "models/stomps/StompSet.h"
#include "models/stomps/Volume.h"
#include "tests/support/ElementRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

using AudioEngine::BorvanQom::Application::StompElement;
using Pedal = StompElement<AudioEngine::CX2::Volume<AudioEngine::CX2::VolumeTraits>>;

namespace {

// One pedal as a stomp element, fed a constant.
struct PedalRig {
    PedalRig() { rig::plugIn(pedal, environment, feed); }
    std::vector<float> run(float input)
    {
        feed.fill(input);
        pedal.process();
        return rig::samples(pedal.getOutput("Out"), 64);
    }
    // The gain once the smoother has settled (two seconds of pieces).
    float settle()
    {
        std::vector<float> y;
        for (int block = 0; block < 1400; ++block)
            y = run(1.0f);
        return y.back();
    }

    rig::RootEnvironment environment;
    Pedal pedal;
    rig::Feed feed;
};

} // namespace

TEST(Volume, TheGainIsTenToTheVolumeOverTwentyTimesScale)
{
    const struct {
        float volume, scale, gain, tolerance;
    } cases[] = {
        {-120.0f, 1.0f, 1e-6f, 1e-11f},     // -120 dB
        {-120.0f, 20.0f, 0.501187f, 1e-6f}, // the same travel spans only -6 dB
        {-6.0f, 1.0f, 0.501187f, 1e-6f},    {-60.0f, 3.0f, 0.1f, 1e-7f},
        {0.0f, 1.0f, 1.0f, 0.0f}, // 0 dB is unity whatever the scale
        {0.0f, 7.5f, 1.0f, 0.0f},           {0.0f, 20.0f, 1.0f, 0.0f},
        {-500.0f, 0.0f, 1e-6f, 1e-11f}, // both clamped: -120 dB over 1
    };
    for (const auto& c : cases) {
        PedalRig rig;
        rig.pedal.setParameter("Volume", c.volume);
        rig.pedal.setParameter("Scale", c.scale);
        EXPECT_NEAR(rig.pedal.getLinear().getParameter("Scale").getValue(), c.gain, c.tolerance)
            << c.volume << " dB over " << c.scale;
        EXPECT_NEAR(rig.settle(), c.gain, c.tolerance) << c.volume << " dB over " << c.scale;
    }
}

TEST(Volume, ANewPedalFadesInAndAJumpRampsWithoutAClick)
{
    PedalRig rig;
    const std::vector<float> first = rig.run(1.0f);
    EXPECT_NEAR(first[0], 0.093924f / 64.0f, 1e-6f) << "the smoother starts at 0";
    EXPECT_NEAR(first[63], 0.093924f, 1e-6f);
    const float unity = rig.settle();
    EXPECT_EQ(unity, 1.0f);

    // A jump to -120 dB: the pedal glides down with the 7 ms smoother.
    rig.pedal.setParameter("Volume", -120.0f);
    float previous = unity;
    float largest = 0.0f;
    for (int block = 0; block < 8; ++block) {
        for (float y : rig.run(1.0f)) {
            largest = std::max(largest, previous - y);
            previous = y;
        }
    }
    EXPECT_LT(largest, 0.5f / 64.0f) << "no sample jumps";
    EXPECT_LT(previous, 0.25f) << "three quarters of the way down in 12 ms";
}

TEST(Volume, OnlyVolumeScaleAndProcessAreExposedAndOffsetStaysZero)
{
    PedalRig rig;
    std::set<std::string> names;
    for (const auto& [name, parameter] : rig.pedal.getParameters())
        names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"Process", "Scale", "Volume"}));
    EXPECT_THROW(rig.pedal.setParameter("Offset", 1.0f), AudioEngine::UnknownName);
    EXPECT_EQ(rig.pedal.getInfo().type, "Volume");

    auto& linear = rig.pedal.getLinear();
    for (float offset : {1.0f, -3.0f, 1e9f, std::numeric_limits<float>::infinity()}) {
        linear.setParameter("Offset", offset);
        EXPECT_EQ(linear.getParameter("Offset").getValue(), 0.0f) << offset;
    }
    rig.pedal.setParameter("Volume", -20.0f);
    EXPECT_NEAR(rig.settle(), 0.1f, 1e-6f) << "the pedal adds nothing";

    // "Process" sends the gain again: whatever the combinator held is replaced.
    linear.setParameter("Scale", 0.7f);
    rig.pedal.setParameter("Process", 0.0f);
    EXPECT_NEAR(linear.getParameter("Scale").getValue(), 0.1f, 1e-7f);
}

TEST(Volume, InASlotThePedalKeepsItsSettingsAcrossASwitch)
{
    stomps::ChainRig rig;
    EXPECT_NO_THROW(rig.value("Volume_2_StompModule")) << "the pedal's names join every slot";
    rig.set("Stomp_2_StompModule", 5.0f); // "Volume"
    rig.set("Volume_2_StompModule", -40.0f);
    rig.set("Scale_2_StompModule", 2.0f);
    rig.run(44100, 1.0f);
    EXPECT_NEAR(rig.run(64, 1.0f)[63], 0.1f, 1e-6f) << "-40 dB over 2";

    rig.set("Stomp_2_StompModule", 0.0f); // "Empty"
    EXPECT_EQ(rig.run(64, 0.25f)[63], 0.25f);
    rig.set("Stomp_2_StompModule", 5.0f);
    EXPECT_EQ(rig.value("Volume_2_StompModule"), -40.0f);
    EXPECT_EQ(rig.value("Scale_2_StompModule"), 2.0f);
    EXPECT_NEAR(rig.run(64, 1.0f)[63], 0.1f, 1e-6f) << "no fade-in again";
}
