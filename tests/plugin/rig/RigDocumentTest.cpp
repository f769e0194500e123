#include "RigFixtures.h"

#include <gtest/gtest.h>

using namespace test;

namespace {

const std::string kFreshChunk =
    "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"\">"
    "<Amp AmpModel=\"RKM-CL\" Bypass=\"0.000000\" Mute=\"0.000000\" OutputVolume=\"1.000000\">"
    "<AmpModel Bass=\"5.078125\" Bypass=\"0.000000\" Freq=\"3.000000\" Gain=\"5.234375\" "
    "Master=\"4.921875\" "
    "Mid=\"5.000000\" Mute=\"0.000000\" Treble=\"5.703125\" UltraHi=\"0.000000\" "
    "UltraLo=\"0.000000\" /></Amp>"
    "<Cab Ambience=\"0.000000\" Bypass=\"0.000000\" CabinetMatch=\"0.000000\" "
    "CabinetModel=\"RKM-410H\" "
    "HighLevel=\"0.770000\" MicAxis=\"0.000000\" MicDist=\"0.000000\" MicModel=\"Condenser 87\" "
    "Mute=\"0.000000\" "
    "OutputPan=\"0.500000\" OutputVolume=\"1.000000\" />"
    "<Input />"
    "<Output Master=\"1.000000\" Mix=\"100.000000\" Phase=\"0.000000\" />"
    "<Stomp Bypass=\"0.000000\" Mute=\"0.000000\" OutputVolume=\"1.000000\" Stomp0=\"Empty\" "
    "Stomp1=\"Empty\" "
    "Stomp2=\"Empty\" Stomp3=\"Empty\" Stomp4=\"Empty\" Stomp5=\"Empty\" />"
    "<Tuner OutputVolume=\"1.000000\" /></Preset>";

} // namespace

TEST(RigDocument, AFreshRigSavesTheGoldenChunkAndLoadsItBackUnchanged)
{
    Rig fresh;
    EXPECT_EQ(fresh.saveChunk(), kFreshChunk);

    // Every unit moved away from its fresh state, then the fresh chunk loaded.
    Rig rig;
    rig.getAmpModule().ampModel.setValue(0.0f, true);
    rig.getCabModule().cabinetModel.setValue(1.0f, true);
    rig.getCabModule().highLevel.setValue(0.25f, true);
    rig.getStompModule().stomps[3].setValue(4.0f, true);
    rig.getTuner().outputVolume.setValue(2.0f, true);
    rig.getOutput().mix.setValue(40.0f, true);
    rig.setPresetName("Old");
    loadChunk(rig, kFreshChunk);
    EXPECT_EQ(rig.saveChunk(), kFreshChunk);
    EXPECT_EQ(rig.getStompModule().getStomp(3), nullptr);
}

TEST(RigDocument, FreshStateOfTheUnits)
{
    Rig rig;
    EXPECT_EQ(rig.getTuner().bypass.getValue(), 1.0f) << "the tuner starts bypassed";
    EXPECT_EQ(rig.getTuner().reference.getValue(), 440.0f);
    EXPECT_NE(dynamic_cast<AmpRKMClassic*>(rig.getAmpModule().getAmpModel()), nullptr);
    for (int slot = 0; slot < StompModule::kSlotCount; ++slot)
        EXPECT_EQ(rig.getStompModule().getStomp(slot), nullptr) << slot;
    EXPECT_EQ(rig.getCabModule().keptHighLevel, -1.0f);
    EXPECT_EQ(rig.getInput().inputLevelMeter.getValue(), 0.0f);
}

TEST(RigDocument, UnitNumbersPickTheUnits)
{
    Rig rig;
    EXPECT_EQ(rig.getUnit(1), &rig.getTuner());
    EXPECT_EQ(rig.getUnit(2), &rig.getStompModule());
    EXPECT_EQ(rig.getUnit(4), &rig.getCabModule());
    for (int other : {0, 3, 5, -1, 1000})
        EXPECT_EQ(rig.getUnit(other), &rig.getAmpModule()) << other;
}

TEST(RigDocument, TheTunerKeepsItsSwitchesAndReadingsAcrossALoad)
{
    Rig rig;
    TunerModule& tuner = rig.getTuner();
    tuner.reference.setValue(432.0f, true);
    tuner.note.setValue(9.0f, true);
    tuner.bypass.setValue(0.0f, true);
    loadChunk(rig, "<Preset><Tuner OutputVolume=\"0.5\" Reference=\"450\" Bypass=\"1\" Mute=\"1\" "
                   "Note=\"2\" /></Preset>");
    EXPECT_EQ(tuner.outputVolume.getValue(), 0.5f);
    EXPECT_EQ(tuner.reference.getValue(), 432.0f);
    EXPECT_EQ(tuner.note.getValue(), 9.0f);
    EXPECT_EQ(tuner.bypass.getValue(), 0.0f);
    EXPECT_EQ(tuner.mute.getValue(), 0.0f);
    EXPECT_EQ(streamed(tuner),
              "<?xml version=\"1.0\" standalone=\"no\" ?><Preset OutputVolume=\"0.500000\" />");
}

TEST(RigDocument, UnsavedValuesKeepTheirsWhileSavedOnesResetWhenMissing)
{
    Rig rig;
    rig.getInput().inputLevelMeter.setValue(0.3f, true);
    rig.getOutput().outputLevelMeterL.setValue(0.7f, true);
    rig.getOutput().phase.setValue(12.0f, true);
    rig.getCabModule().keptHighLevel = 0.4f;
    loadChunk(rig, "<Preset><Input InputLevelMeter=\"9\" /><Output Mix=\"50\" /><Cab /></Preset>");
    EXPECT_EQ(rig.getInput().inputLevelMeter.getValue(), 0.3f);
    EXPECT_EQ(rig.getOutput().outputLevelMeterL.getValue(), 0.7f);
    EXPECT_EQ(rig.getOutput().phase.getValue(), 0.0f)
        << "a missing number goes back to its default";
    EXPECT_EQ(rig.getOutput().mix.getValue(), 50.0f);
    EXPECT_EQ(rig.getCabModule().keptHighLevel, 0.4f);
}
