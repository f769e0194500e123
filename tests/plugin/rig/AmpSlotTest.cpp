#include "RigFixtures.h"

#include <gtest/gtest.h>

#include <limits>

using namespace test;

TEST(AmpSlot, EveryHeadKeepsItsSettingsAndIsCreatedOnce)
{
    Rig rig;
    AmpModule& amp = rig.getAmpModule();
    auto* classic = dynamic_cast<AmpRKMClassic*>(amp.getAmpModel());
    ASSERT_NE(classic, nullptr);
    classic->gain.setValue(8.5f, true);
    classic->freq.setValue(5.0f, true);

    Module* seen[AmpModule::kModelCount] = {};
    const float path[] = {0.0f, 1.0f, 3.0f, 2.0f, 0.0f, 1.0f, 3.0f, 2.0f};
    for (float model : path) {
        amp.ampModel.setValue(model, true);
        Module*& first = seen[static_cast<int>(model)];
        if (!first)
            first = amp.getAmpModel();
        EXPECT_EQ(amp.getAmpModel(), first) << "model " << model;
    }
    EXPECT_NE(dynamic_cast<AmpRE500*>(seen[0]), nullptr);
    EXPECT_NE(dynamic_cast<AmpV9E*>(seen[1]), nullptr);
    EXPECT_NE(dynamic_cast<AmpRKM4PRO*>(seen[3]), nullptr);
    EXPECT_EQ(seen[2], classic);
    EXPECT_EQ(classic->gain.getValue(), 8.5f);
    EXPECT_EQ(classic->freq.getValue(), 5.0f);
    EXPECT_NE(
        rig.saveChunk().find("<AmpModel Bass=\"5.078125\" Bypass=\"0.000000\" Freq=\"5.000000\" "
                             "Gain=\"8.500000\""),
        std::string::npos);
}

TEST(AmpSlot, ASelectorValueOutsideTheListSelectsTheClassic)
{
    for (float value : {4.0f, -1.0f, 1e9f, std::numeric_limits<float>::quiet_NaN()}) {
        Rig rig;
        AmpModule& amp = rig.getAmpModule();
        Module* classic = amp.getAmpModel();
        amp.ampModel.setValue(0.0f, true);
        Parameter foreign;
        foreign.setRange(Zq::Application::DocView::RangeFloat(-1e30f, 1e30f));
        foreign.setValue(value, false);
        amp.setAmpModel(&foreign);
        EXPECT_EQ(amp.getAmpModel(), classic) << value;
        EXPECT_NE(rig.saveChunk().find("<AmpModel Bass=\"5.078125\""), std::string::npos) << value;
    }
}

TEST(AmpSlot, VoicingAndPeakValuesStayOutOfPresets)
{
    const char* unsaved[] = {"DSMActive",
                             "GainAdjPre",
                             "GainAdjPwr",
                             "GainPrePwr",
                             "GainPostPwr",
                             "PlateCurrentGain",
                             "ScreenCurrentGain",
                             "Variac",
                             "PreampPeak",
                             "LimitPeak",
                             "PreClipperGainAdjust",
                             "PwrAmpInGainAdjust",
                             "LimitTreshold",
                             "LimitResponsiveness",
                             "CompLevel",
                             "CompResponsiveness",
                             "CompVolume",
                             "GainAdjPre1",
                             "GainAdjPre2",
                             "GainAdjPre3"};
    Rig rig;
    for (int model = 0; model < AmpModule::kModelCount; ++model) {
        rig.getAmpModule().ampModel.setValue(static_cast<float>(model), true);
        const std::string chunk = rig.saveChunk();
        for (const char* name : unsaved)
            EXPECT_EQ(chunk.find(std::string(" ") + name + "="), std::string::npos)
                << name << " in " << chunk;
    }
}

TEST(AmpSlot, APresetNeverTouchesTheVoicing)
{
    Rig rig;
    auto* classic = static_cast<AmpRKMClassic*>(rig.getAmpModule().getAmpModel());
    EXPECT_EQ(classic->gainAdjPre.getValue(), 6.0f);
    classic->gainAdjPre.setValue(3.0f, true);
    loadChunk(rig, "<Preset><Amp AmpModel=\"RKM-CL\"><AmpModel Gain=\"7\" GainAdjPre=\"-20\" "
                   "/></Amp></Preset>");
    EXPECT_EQ(classic->gain.getValue(), 7.0f);
    EXPECT_EQ(classic->gainAdjPre.getValue(), 3.0f);
}

TEST(AmpSlot, APresetSwitchesTheHeadBeforeLoadingItsElement)
{
    Rig rig;
    loadChunk(
        rig,
        "<Preset><Amp AmpModel=\"GN-500\"><AmpModel Band9000=\"-3.5\" Pad=\"1\" /></Amp></Preset>");
    auto* head = dynamic_cast<AmpRE500*>(rig.getAmpModule().getAmpModel());
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->bands[8].getValue(), -3.5f);
    EXPECT_EQ(head->pad.getValue(), 1.0f);
    EXPECT_EQ(head->limit.getValue(), 1.0f);
}

TEST(CabinetMatcher, WhileOnTheCabinetFollowsTheHead)
{
    struct Case {
        float amp;
        const char* cabinet;
    };
    const Case cases[] = {{0.0f, "GN-500"}, {1.0f, "Q-9R"}, {2.0f, "RKM-810E"}, {3.0f, "RKM-410H"}};
    Rig rig;
    Parameter& model = rig.getAmpModule().ampModel;
    Parameter& cabinet = rig.getCabModule().cabinetModel;
    rig.getCabModule().cabinetMatch.setValue(1.0f, true);
    EXPECT_EQ(cabinet.getValue(), 5.0f)
        << "switching the match on applies the classic's cabinet at once";
    for (const Case& c : cases) {
        cabinet.setValue(2.0f, true); // JMR-410H, chosen by hand
        model.setValue(c.amp, true);
        EXPECT_EQ(CabModule::kCabinetNames[static_cast<int>(cabinet.getValue())],
                  std::string(c.cabinet))
            << c.amp;
    }

    rig.getCabModule().cabinetMatch.setValue(0.0f, true);
    cabinet.setValue(3.0f, true);
    for (const Case& c : cases) {
        model.setValue(c.amp, true);
        EXPECT_EQ(cabinet.getValue(), 3.0f)
            << "with the match off the cabinet stays, head " << c.amp;
    }
}
