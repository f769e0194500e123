#include "EngineFixtures.h"

#include "plugin/rig/AmpModels.h"
#include "plugin/rig/StompModels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace test;

namespace {

void expectCalls(const std::vector<Call>& actual, const std::vector<Call>& expected)
{
    ASSERT_EQ(actual.size(), expected.size()) << ::testing::PrintToString(actual);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].path, expected[i].path) << i;
        EXPECT_EQ(actual[i].name, expected[i].name) << i << " " << actual[i].path;
        EXPECT_NEAR(actual[i].value, expected[i].value, 1e-4f) << i << " " << actual[i].path;
    }
}

const std::string kAmpProcess = "Process_AmpModule";

} // namespace

TEST(EngineUnits, ConstructionSendsTheFreshRigInUnitOrder)
{
    RecordedRig rig;
    RecordingMAF& d = rig.dsp;
    auto* classic = dynamic_cast<Doc::AmpRKMClassic*>(rig.document.getAmpModule().getAmpModel());
    ASSERT_NE(classic, nullptr);

    std::vector<Call> expected = {
        {"Mute_Tuner", d.named("On"), "On"},
        {"On_Tuner", d.named("Off"), "Off"},
        {"Gain_Volume_PanVolume_Tuner", 0.0f, ""},
        {"Reference_Tuner", 440.0f, ""},
        {"Process_StompModule", d.named("Normal"), "Normal"},
        {"Gain_Volume_PanVolume_StompModule", 0.0f, ""},
    };
    for (int slot = 0; slot < 6; ++slot)
        expected.push_back(
            {"Stomp_" + std::to_string(slot) + "_StompModule", d.named("Empty"), ""});
    const std::vector<Call> amp = {
        {"Process_AmpModule", d.named("Normal"), "Normal"},
        {"Gain_Volume_PanVolume_AmpModule", 0.0f, ""},
        {"Model_0_AmpModule", d.named("RKMClassic"), ""},
        {"ImpedOn_CabModule", 0.0f, ""},
        {"DSM_0_AmpModule", classic->dsmActive.getValue(), ""},
        {"Gain_0_AmpModule", 0.5234375f, ""},
        {"Bass_0_AmpModule", 0.5078125f, ""},
        {"Treble_0_AmpModule", 0.5703125f, ""},
        {"Mid_0_AmpModule", 0.5f, ""},
        {"Master_0_AmpModule", 0.4921875f, ""},
        {"UltraHi_0_AmpModule", 0.0f, ""},
        {"UltraLo_0_AmpModule", 0.0f, ""},
        {"Frequency_0_AmpModule", 2.0f, ""},
        {"GainAdjPre_0_AmpModule", 6.0f, ""},
        {"GainAdjPwr_0_AmpModule", -16.0f, ""},
        {"GainPrePwr_0_AmpModule", 0.0f, ""},
        {"GainPostPwr_0_AmpModule", 0.0f, ""},
        {"PlateCurrentGain_0_AmpModule", 1.0f, ""},
        {"ScreenCurrentGain_0_AmpModule", 1.0f, ""},
        {"Variac_0_AmpModule", 1.0f, ""},
        {"Process_CabModule", d.named("Normal"), "Normal"},
        {"Gain_Volume_PanVolume_CabModule", 0.0f, ""},
        {"CabModel_CabModule", d.named("Cabinet_RKM410H_NearAxis"), ""},
        {"MicModel_CabModule", d.named("U87"), ""},
        {"Level_Ambience_CabModule", 0.0f, ""},
        // 0.77 ^ (log10(2) / 0.2)
        {"TweeterLevel_CabModule", 0.674786f, ""},
        {"Delay_PhaseAdjust", 0.0f, ""},
        {"Mix_MainMixer", 0.0f, ""},
        {"Gain_Master_Output", 0.0f, ""},
    };
    expected.insert(expected.end(), amp.begin(), amp.end());
    expectCalls(d.calls, expected);

    const auto& units = rig.engine.getUnits();
    ASSERT_EQ(units.size(), 6u);
    const std::vector<std::string> paths = {"Tuner",     "StompModule", "AmpModule",
                                            "CabModule", "Input",       "Output"};
    for (std::size_t i = 0; i < units.size(); ++i)
        EXPECT_EQ(units[i]->getBasePath(), paths[i]);
    EXPECT_EQ(rig.engine.currentTempo(), 0.0f);
}

TEST(EngineUnits, HeadBindingsOfEachModelReachTheirPaths)
{
    RecordedRig rig;
    Doc::AmpModule& amp = rig.document.getAmpModule();
    struct Case {
        float model;
        std::vector<std::pair<std::string, float>> sent; // a sample of each head's table
    };
    const std::vector<Case> cases = {
        {0.0f,
         {{"UltraMid_0_AmpModule", 0.5f},
          {"Band0_0_AmpModule", 0.5f},
          {"LimitEnable_0_AmpModule", 1.0f},
          {"GeqBypass_0_AmpModule", 0.0f},
          {"LimitResponsiveness_0_AmpModule", 10.0f}}},
        {1.0f,
         {{"PowerMode_0_AmpModule", 1.0f},
          {"Frequency_0_AmpModule", 1.0f},
          {"Gain_0_AmpModule", 0.453125f}}},
        {3.0f,
         {{"CompAmount_0_AmpModule", 0.1171875f},
          {"GeqGain_0_AmpModule", 0.0f},
          {"Band8_0_AmpModule", 0.5f},
          {"Pad_0_AmpModule", 0.0f},
          {"CompVolume_0_AmpModule", 10.0f}}},
    };
    for (const Case& c : cases) {
        rig.dsp.calls.clear();
        amp.ampModel.setValue(c.model, true);
        for (const auto& [path, value] : c.sent) {
            const auto sent = rig.dsp.sent(path);
            ASSERT_EQ(sent.size(), 1u) << path;
            EXPECT_NEAR(sent[0], value, 1e-5f) << path;
        }
    }
    // Only the V9E has a power switch; the read-backs send nothing.
    rig.dsp.calls.clear();
    amp.ampModel.setValue(2.0f, true);
    EXPECT_TRUE(rig.dsp.sent("PowerMode_0_AmpModule").empty());
    EXPECT_TRUE(rig.dsp.sent("PreampPeak_0_AmpModule").empty());
}

TEST(EngineUnits, AmpModelChangeRebuildsTheThirdUnitAndDropsTheOldBindings)
{
    RecordedRig rig;
    Doc::AmpModule& amp = rig.document.getAmpModule();
    auto* classic = dynamic_cast<Doc::AmpRKMClassic*>(amp.getAmpModel());
    ASSERT_NE(classic, nullptr);

    for (float model : {0.0f, 1.0f, 3.0f, 2.0f}) {
        rig.dsp.calls.clear();
        amp.ampModel.setValue(model, true);
        const auto& units = rig.engine.getUnits();
        ASSERT_EQ(units.size(), 6u);
        ASSERT_NE(rig.engine.getAmpUnit(), nullptr);
        EXPECT_EQ(units[2].get(), rig.engine.getAmpUnit());
        EXPECT_EQ(units[3]->getBasePath(), "CabModule");
        // The new unit runs its whole construction: run state first, then the
        // selector again, then the impedance switch before the head's values.
        const int process = rig.dsp.indexOf(kAmpProcess);
        const int model0 = rig.dsp.indexOf("Model_0_AmpModule", static_cast<std::size_t>(process));
        const int imped = rig.dsp.indexOf("ImpedOn_CabModule");
        ASSERT_GE(process, 0);
        EXPECT_LT(process, model0);
        EXPECT_LT(model0, imped);
        EXPECT_EQ(rig.dsp.sent("ImpedOn_CabModule"),
                  std::vector<float>{model == 1.0f ? 1.0f : 0.0f});
    }
    // The classic head is current again: switch away, then turn its knob.
    amp.ampModel.setValue(0.0f, true);
    rig.dsp.calls.clear();
    classic->gain.setValue(9.0f, true);
    EXPECT_TRUE(rig.dsp.calls.empty());
    // The RE500 unit has no run-state echo of the old unit either.
    rig.document.getAmpModule().bypass.setValue(1.0f, true);
    EXPECT_EQ(rig.dsp.sent(kAmpProcess).size(), 1u);
}

// Mute wins over Bypass; both off is Normal.
TEST(EngineUnits, RunStateFollowsMuteAndBypass)
{
    RecordedRig rig;
    Doc::MacroModule& stomp = rig.document.getStompModule();
    struct Step {
        Parameter* parameter;
        float value;
        const char* state;
    };
    const std::vector<Step> steps = {
        {&stomp.bypass, 1.0f, "Bypass"}, {&stomp.mute, 1.0f, "Mute"},
        {&stomp.mute, 0.0f, "Bypass"},   {&stomp.bypass, 0.0f, "Normal"},
        {&stomp.mute, 1.0f, "Mute"},     {&stomp.bypass, 1.0f, "Mute"},
        {&stomp.bypass, 0.0f, "Mute"},   {&stomp.mute, 0.0f, "Normal"},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        rig.dsp.calls.clear();
        steps[i].parameter->setValue(steps[i].value, true);
        ASSERT_EQ(rig.dsp.calls.size(), 1u) << i;
        EXPECT_EQ(rig.dsp.calls[0],
                  (Call{"Process_StompModule", rig.dsp.named(steps[i].state), steps[i].state}))
            << i;
    }
}

TEST(EngineUnits, UnitsBuiltOnAMutedOrBypassedDocumentStartSo)
{
    Doc::Rig document;
    document.getAmpModule().bypass.setValue(1.0f, true);
    document.getStompModule().mute.setValue(1.0f, true);
    document.getStompModule().bypass.setValue(1.0f, true);
    document.getCabModule().mute.setValue(1.0f, true);
    RecordingMAF dsp;
    Eng::Main engine(document, dsp);

    EXPECT_EQ(dsp.calls[dsp.indexOf(kAmpProcess)].name, "Bypass");
    EXPECT_EQ(dsp.calls[dsp.indexOf("Process_StompModule")].name, "Mute");
    EXPECT_EQ(dsp.calls[dsp.indexOf("Process_CabModule")].name, "Mute");
    // A muted cabinet starts with its ambience silent and unbound.
    EXPECT_EQ(dsp.sent("Level_Ambience_CabModule"), std::vector<float>{0.0f});
    dsp.calls.clear();
    document.getCabModule().ambience.setValue(5.0f, true);
    EXPECT_TRUE(dsp.calls.empty());
}

TEST(EngineUnits, TunerSwitchesAndFrozenReadOuts)
{
    RecordedRig rig;
    Doc::TunerModule& tuner = rig.document.getTuner();
    rig.dsp.values = {{"Display_Tuner", 1.0f},
                      {"Note_Tuner", 5.0f},
                      {"Cents_Tuner", -12.5f},
                      {"Deviation_Tuner", 0.25f}};

    // Fresh: bypassed, so the read-outs stay as they are.
    rig.block();
    EXPECT_EQ(tuner.note.getValue(), 0.0f);
    EXPECT_EQ(tuner.displayOff.getValue(), 0.0f);

    rig.dsp.calls.clear();
    tuner.bypass.setValue(0.0f, true);
    tuner.mute.setValue(1.0f, true);
    tuner.mute.setValue(0.0f, true);
    EXPECT_EQ(rig.dsp.calls, (std::vector<Call>{{"On_Tuner", rig.dsp.named("On"), "On"},
                                                {"Mute_Tuner", rig.dsp.named("Mute"), "Mute"},
                                                {"Mute_Tuner", rig.dsp.named("On"), "On"}}));
    rig.block();
    EXPECT_EQ(tuner.displayOff.getValue(), 1.0f);
    EXPECT_EQ(tuner.note.getValue(), 5.0f);
    EXPECT_EQ(tuner.cents.getValue(), -12.5f);
    EXPECT_EQ(tuner.deviation.getValue(), 0.25f);

    tuner.bypass.setValue(1.0f, true);
    rig.dsp.values = {{"Display_Tuner", 0.0f},
                      {"Note_Tuner", 9.0f},
                      {"Cents_Tuner", 30.0f},
                      {"Deviation_Tuner", -0.5f}};
    rig.block();
    EXPECT_EQ(tuner.displayOff.getValue(), 1.0f);
    EXPECT_EQ(tuner.note.getValue(), 5.0f);
    EXPECT_EQ(tuner.cents.getValue(), -12.5f);
    EXPECT_EQ(tuner.deviation.getValue(), 0.25f);
}

TEST(EngineUnits, MetersAreReadBackEveryBlock)
{
    RecordedRig rig;
    rig.dsp.values = {{"Level_Meter_Input", 0.5f},
                      {"Level_MeterL_Output", 0.25f},
                      {"Level_MeterR_Output", 0.125f}};
    rig.block();
    EXPECT_EQ(rig.document.getInput().inputLevelMeter.getValue(), 0.5f);
    EXPECT_EQ(rig.document.getOutput().outputLevelMeterL.getValue(), 0.25f);
    EXPECT_EQ(rig.document.getOutput().outputLevelMeterR.getValue(), 0.125f);
}

TEST(EngineUnits, OutputMixAndMaster)
{
    RecordedRig rig;
    Doc::Output& output = rig.document.getOutput();
    struct Case {
        float mix, sent;
    };
    for (const Case& c : {Case{0.0f, 1.0f}, Case{25.0f, 0.75f}, Case{100.0f, 0.0f}}) {
        rig.dsp.calls.clear();
        output.mix.setValue(c.mix, true);
        output.mix.notifyChanged();
        EXPECT_NEAR(rig.dsp.sent("Mix_MainMixer").back(), c.sent, 1e-6f) << c.mix;
    }
    output.master.setValue(10.0f, true);
    EXPECT_NEAR(rig.dsp.sent("Gain_Master_Output").back(), 20.0f, 1e-4f);
}

TEST(EngineUnits, CabinetChoiceByDistanceAndAxis)
{
    RecordedRig rig;
    Doc::CabModule& cab = rig.document.getCabModule();
    struct Case {
        float model, dist, axis;
        const char* name;
    };
    const std::vector<Case> cases = {
        {1.0f, 0.0f, 0.0f, "Cabinet_V9E_NearAxis"},   {1.0f, 1.0f, 0.0f, "Cabinet_V9E_FarAxis"},
        {1.0f, 1.0f, 1.0f, "Cabinet_V9E_FarOff"},     {5.0f, 1.0f, 1.0f, "Cabinet_RKM810_FarOff"},
        {5.0f, 0.0f, 1.0f, "Cabinet_RKM810_NearOff"}, {0.0f, 0.0f, 0.0f, "Cabinet_RE500_NearAxis"},
    };
    for (const Case& c : cases) {
        cab.cabinetModel.setValue(c.model, true);
        cab.micDist.setValue(c.dist, true);
        cab.micAxis.setValue(c.axis, true);
        EXPECT_EQ(rig.dsp.sent("CabModel_CabModule").back(), rig.dsp.named(c.name)) << c.name;
    }
    rig.dsp.calls.clear();
    cab.micModel.setValue(1.0f, true);
    EXPECT_EQ(rig.dsp.sent("MicModel_CabModule"), std::vector<float>{rig.dsp.named("SM57")});
}

TEST(EngineUnits, CabinetAmbienceIsReleasedWhileNotNormal)
{
    RecordedRig rig;
    Doc::CabModule& cab = rig.document.getCabModule();
    const std::string level = "Level_Ambience_CabModule";
    cab.ambience.setValue(5.0f, true);
    EXPECT_NEAR(rig.dsp.sent(level).back(), 63.5f, 1e-4f);

    for (Parameter* p : {&cab.mute, &cab.bypass}) {
        rig.dsp.calls.clear();
        p->setValue(1.0f, true);
        EXPECT_EQ(rig.dsp.sent(level), std::vector<float>{0.0f});
        EXPECT_FALSE(rig.engine.getUnits()[3] == nullptr);
        cab.ambience.setValue(2.0f, true);
        EXPECT_EQ(rig.dsp.sent(level), std::vector<float>{0.0f}) << "sent while released";
        // Back to Normal: the current value goes out again.
        rig.dsp.calls.clear();
        p->setValue(0.0f, true);
        EXPECT_EQ(rig.dsp.calls.front().name, "Normal");
        EXPECT_NEAR(rig.dsp.sent(level).back(), 25.4f, 1e-4f);
        cab.ambience.setValue(5.0f, true);
        EXPECT_EQ(rig.dsp.sent(level).size(), 2u) << "one binding only";
    }
}

TEST(EngineUnits, StompSlotChangesQueueTheSelectorFirstAndEmptyDestroysTheUnit)
{
    RecordedRig rig;
    Doc::StompModule& stomps = rig.document.getStompModule();
    auto* chain = dynamic_cast<Eng::StompModule*>(rig.engine.getUnits()[1].get());
    ASSERT_NE(chain, nullptr);

    struct Case {
        float model;
        const char* name;
        const char* firstValuePath; // the unit's first binding
    };
    const std::vector<Case> cases = {
        {1.0f, "Overdrive", "Texture_2_StompModule"},
        {2.0f, "Octaver", "OctaveLevel_2_StompModule"},
        {3.0f, "AnalogChorus", "Gain_2_StompModule"},
        {4.0f, "AnalogDelay", "Delay_2_StompModule"},
        {5.0f, "BassWah", "Auto_2_StompModule"},
        {6.0f, "Compressor", "Volume_FilterOut_2_StompModule"},
        {7.0f, "EnvelopeFilter", "Freq_2_StompModule"},
        {8.0f, "Volume", "Scale_2_StompModule"},
    };
    for (const Case& c : cases) {
        rig.dsp.calls.clear();
        stomps.stomps[2].setValue(c.model, true);
        ASSERT_GE(rig.dsp.calls.size(), 3u) << c.name;
        EXPECT_EQ(rig.dsp.calls[0], (Call{"Stomp_2_StompModule", rig.dsp.named(c.name), ""}))
            << c.name;
        EXPECT_EQ(rig.dsp.calls[1],
                  (Call{"Process_2_StompModule", rig.dsp.named("Normal"), "Normal"}))
            << c.name;
        EXPECT_EQ(rig.dsp.calls[2].path, c.firstValuePath);
        Eng::StompBox* unit = chain->getSlotUnit(2);
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->getDocumentUnit(), stomps.getStomp(2));
    }
    // The old unit's bindings went with it; "Empty" leaves the slot without one.
    Doc::Module* volumeDocument = stomps.getStomp(2);
    rig.dsp.calls.clear();
    stomps.stomps[2].setValue(0.0f, true);
    EXPECT_EQ(rig.dsp.calls,
              (std::vector<Call>{{"Stomp_2_StompModule", rig.dsp.named("Empty"), ""}}));
    EXPECT_EQ(chain->getSlotUnit(2), nullptr);
    volumeDocument->bypass.setValue(1.0f, true);
    EXPECT_TRUE(rig.dsp.calls.size() == 1u);
}

TEST(EngineUnits, StompBindingsConvertTheDocumentValues)
{
    RecordedRig rig;
    Doc::StompModule& stomps = rig.document.getStompModule();
    stomps.stomps[0].setValue(7.0f, true); // envelope filter
    stomps.stomps[1].setValue(4.0f, true); // analog delay
    stomps.stomps[3].setValue(8.0f, true); // volume
    auto& filter = dynamic_cast<Doc::StompEnvelopeFilter&>(*stomps.getStomp(0));
    auto& delay = dynamic_cast<Doc::StompMemoryMan&>(*stomps.getStomp(1));
    auto& volume = dynamic_cast<Doc::StompVolume&>(*stomps.getStomp(3));

    struct Case {
        Parameter* parameter;
        float value;
        const char* path;
        float sent;
    };
    const std::vector<Case> cases = {
        {&filter.freq, 40.0f, "Freq_0_StompModule", 0.0f},
        {&filter.freq, 19506.0f, "Freq_0_StompModule", 127.0f},
        {&filter.reso, 0.3f, "Reso_0_StompModule", 0.0f},
        {&filter.reso, 10.0f, "Reso_0_StompModule", 89.9359f},
        {&filter.depth, 50.0f, "Depth_0_StompModule", 63.5f},
        {&filter.bandMode, 1.0f, "Mode_0_StompModule", 1.0f},
        {&delay.chVib, 100.0f, "Depth_1_StompModule", 0.4f},
        {&delay.chVib, 50.0f, "Depth_1_StompModule", 0.4f * 0.0992126f},
        {&delay.feedback, 25.0f, "Feedback_1_StompModule", 0.25f},
        {&delay.mode, 1.0f, "Mode_1_StompModule", 1.0f},
        {&volume.minLevel, 10.0f, "Scale_3_StompModule", 15.0f},
        {&volume.volume, 50.0f, "Volume_3_StompModule", -60.0f},
    };
    for (const Case& c : cases) {
        rig.dsp.calls.clear();
        c.parameter->setValue(c.value, true);
        c.parameter->notifyChanged();
        ASSERT_FALSE(rig.dsp.sent(c.path).empty()) << c.path;
        EXPECT_NEAR(rig.dsp.sent(c.path).back(), c.sent, 2e-3f) << c.path << " " << c.value;
    }
}

TEST(EngineUnits, EnvelopeFilterScalesBothWays)
{
    const Eng::StompEnvelopeFilter::FreqConverter freq;
    const Eng::StompEnvelopeFilter::ResonanceConverter reso;
    EXPECT_NEAR(freq.toNormalized(40.0f), 0.0f, 1e-5f);
    EXPECT_NEAR(freq.fromNormalized(127.0f), 19506.0f, 1.0f);
    EXPECT_NEAR(freq.toNormalized(freq.fromNormalized(127.0f)), 127.0f, 1e-3f);
    EXPECT_NEAR(reso.toNormalized(0.3f), 0.0f, 1e-5f);
    EXPECT_NEAR(reso.fromNormalized(127.0f), 42.42f, 0.01f);
    EXPECT_NEAR(reso.toNormalized(42.42f), 127.0f, 0.01f);
    EXPECT_NE(dynamic_cast<Eng::StompEnvelopeFilter::FreqConverter*>(freq.clone().get()), nullptr);
}
