// The heads in the chain: silence at rest, their gain laws, the LED of the
// solid-state preamps and the V9E's power modes.

#include "tests/models/amps/AmpRig.h"

#include <gtest/gtest.h>

using namespace amps;

namespace {

// The gain factor a stage applied in the last piece: its output over its input.
float stageFactor(Module& head, std::string_view stage)
{
    Module& module = subModule(head, {stage});
    const float* x = module.getInput("In").getBuffer();
    const float* y = module.getOutput("Out").getBuffer();
    for (std::uint32_t i = 0; i < 64; ++i)
        if (std::fabs(x[i]) > 1e-3f)
            return y[i] / x[i];
    return NAN;
}

} // namespace

// Every stage starts settled on its rest level, after the build, after a reset
// and when a switch makes the head current again (which resets it, so no tail
// of what it played before comes back), at the common host rates: silence in
// gives silence out from the first sample after the host's latency.
TEST(AmpHeads, SilenceInGivesSilenceOut)
{
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        const auto second = static_cast<std::size_t>(rate);
        for (const HeadSetup& s : kHeadSetups) {
            SCOPED_TRACE(testing::Message() << describe(s) << " at " << rate << " Hz");
            AmpRig rig(rate);
            rig.choose(s.model, headDefaults(s.model, s.dsm, s.watts));
            EXPECT_LE(peak(rig.run(second), kLatency), 1e-6f) << "after the build";

            const auto loud = sine(second / 5, 0.8f, 55.0f, rate);
            // The host's four samples in flight are silent when the reset comes.
            rig.run(loud);
            rig.run(64);
            rig.set().reset();
            EXPECT_LE(peak(rig.run(second)), 1e-6f) << "after a reset";

            rig.run(loud);
            rig.push("Model_0_AmpModule", 0.0f);
            rig.run(2048);
            rig.push("Model_0_AmpModule", float(s.model));
            EXPECT_LE(peak(rig.run(second)), 1e-6f) << "after a switch";
        }
    }
}

// "Gain" is a log taper on the RKM Classic (0.5 is x0.1) and a plain factor on
// the V9E and RKM4Pro; "GainAdjPre" is a trim in dB before the first stage.
TEST(AmpHeads, GainLawsAndTrimsAsTheStagesApplyThem)
{
    struct Case {
        Model model;
        const char* name;
        float value;
        const char* stage;
        float factor;
    };
    const Case cases[] = {
        {Model::RKMClassic, "Gain", 0.5f, "Gain", 0.1f},
        {Model::RKMClassic, "Gain", 0.25f, "Gain", 0.01f},
        {Model::RKMClassic, "Gain", 1.0f, "Gain", 1.0f},
        {Model::V9E, "Gain", 0.5f, "Gain", 0.5f},
        {Model::RKM4Pro, "Gain", 0.5f, "Gain", 0.5f},
        {Model::RKMClassic, "GainAdjPre", 80.0f, "LevelPreamp", 1e4f},
        {Model::V9E, "GainAdjPre", -20.0f, "LevelPreamp", 0.1f},
    };
    for (const Case& c : cases) {
        AmpRig rig;
        rig.choose(c.model);
        rig.pushHead(c.name, c.value);
        rig.run(11025);
        // The trim is read with a level input, so its ratio does not depend on
        // which samples of the piece the head's input buffer holds.
        const bool trim = std::string_view(c.stage) == "LevelPreamp";
        const auto y = rig.run(trim ? std::vector<float>(11025, 0.01f) : sine(11025, 0.3f, 82.4f));
        EXPECT_NEAR(stageFactor(rig.head(), c.stage), c.factor, c.factor * 1e-4f)
            << c.name << " " << c.value;
        EXPECT_TRUE(std::isfinite(peak(y))) << c.name << " " << c.value;
    }
}

// The RE500's gain pot at 0 gives exact zeros, so everything after it falls
// silent however hard the input is driven.
TEST(AmpHeads, RE500GainAtZeroSilencesTheChainAfterIt)
{
    AmpRig rig;
    rig.choose(Model::RE500);
    rig.pushHead("Gain", 0.0f);
    rig.run(11025);
    const auto y = rig.run(sine(22050, 1.0f, 82.4f));
    for (const char* stage : {"Gain", "OpAmpStage1"}) {
        const float* out = subModule(rig.head(), {stage}).getOutput("Out").getBuffer();
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(out[i], 0.0f) << stage;
    }
    EXPECT_LT(peak(y), 1e-6f);
}

// The RE500's LED reads the two op-amp stages before any tone shaping: driven
// into the rails it lights although bass, treble and master cut the sound.
TEST(AmpHeads, RE500PreampPeakLightsAtTheRailsWhateverTheToneControlsDo)
{
    AmpRig rig;
    rig.choose(Model::RE500);
    for (const char* name : {"Bass", "Treble", "Master"})
        rig.pushHead(name, 0.0f);
    rig.pushHead("Gain", 1.0f);
    rig.run(11025);
    rig.run(sine(4410, 0.01f, 110.0f));
    EXPECT_EQ(rig.headValue("PreampPeak"), 0.0f);
    const auto y = rig.run(sine(4410, 0.8f, 110.0f));
    EXPECT_EQ(rig.headValue("PreampPeak"), 1.0f);
    EXPECT_LT(peak(y), 1e-3f);
}

// The RKM4Pro's LED reads the three coupling high-passes, the swings without
// the 130 .. 190 V standing levels: dark at rest, lit when driven hard.
TEST(AmpHeads, RKM4ProPreampPeakFollowsTheThreeHighPasses)
{
    AmpRig rig;
    rig.choose(Model::RKM4Pro);
    rig.run(64);
    Module& led = subModule(rig.head(), {"PeakLed"});
    const char* taps[] = {"HPF1", "HPF2", "HPF3"};
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(led.getInput("In" + std::to_string(k + 1)).getSource(),
                  &subModule(rig.head(), {taps[k]}).getOutput("Out"))
            << taps[k];
    rig.run(22050);
    EXPECT_EQ(rig.headValue("PreampPeak"), 0.0f);
    rig.pushHead("Gain", 1.0f);
    rig.run(sine(11025, 1.0f, 110.0f));
    EXPECT_EQ(rig.headValue("PreampPeak"), 1.0f);
}

// "PowerMode" carries every power-amp setting over; it switches on whole
// numbers only.
TEST(AmpHeads, V9EPowerModesKeepThePowerAmpSettings)
{
    AmpRig rig;
    rig.choose(Model::V9E, headDefaults(Model::V9E, 0.0f, 0.0f));
    const std::pair<const char*, float> settings[] = {
        {"Master", 0.7f}, {"GainPrePwr", 6.0f},       {"GainPostPwr", -3.0f},      {"Variac", 1.2f},
        {"DSM", 1.0f},    {"PlateCurrentGain", 2.0f}, {"ScreenCurrentGain", 0.5f},
    };
    for (const auto& [name, v] : settings)
        rig.pushHead(name, v);
    rig.run(11025);
    auto& modes = dynamic_cast<BorvanV9ETraitsDetails::PowerAmpSelector&>(
        subModule(rig.head(), {"PowerAmpSelector"}));

    auto expectKept = [&](const char* when) {
        for (const auto& [name, v] : settings)
            EXPECT_FLOAT_EQ(rig.headValue(name), v) << name << " " << when;
    };
    rig.pushHead("PowerMode", 1.0f);
    rig.run(256);
    EXPECT_EQ(modes.getCurrentIndex(), 1u);
    expectKept("in 100W");
    EXPECT_FLOAT_EQ(modes.getCurrentElement()->getParameter("Volume").getValue(), 0.7f);

    rig.pushHead("PowerMode", 0.0f);
    rig.pushHead("PowerMode", 0.6f);
    rig.run(256);
    EXPECT_EQ(modes.getCurrentIndex(), 0u);
    expectKept("back in 50W");
    EXPECT_TRUE(std::isfinite(peak(rig.run(sine(8192, 0.5f, 82.4f)))));
}

TEST(AmpHeads, V9EMidFrequencyStates)
{
    AmpRig rig;
    rig.choose(Model::V9E);
    const ParameterBase& frequency = rig.set().getParameter(ampName("Frequency"));
    EXPECT_EQ(frequency.getStates().find("Frq1"), 4.0f);
    EXPECT_EQ(frequency.getStates().find("Frq3"), 2.0f);
    EXPECT_EQ(frequency.getStates().find("Frq5"), 0.0f);
    EXPECT_EQ(frequency.getDefault(), 2.0f);
}
