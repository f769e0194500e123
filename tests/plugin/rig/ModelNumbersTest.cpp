#include "RigFixtures.h"

#include "plugin/rig/EnvelopeConverters.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace test;

TEST(ModelNumbers, ConvertersRangesAndDefaults)
{
    const FreqConverter freq;
    const ResonanceConverter resonance;
    StompEnvelopeFilter filter;
    StompDynaComp compressor;
    StompRI1 chorus;
    AmpRKM4PRO pro;
    AmpRKMClassic classic;
    Rig rig;

    compressor.output.setNormalized(0.5f, true);
    filter.reso.setValue(0.3f, true);
    const float resoAtMin = filter.reso.getNormalized();
    filter.reso.setValue(10.0f, true);
    const float resoAtMax = filter.reso.getNormalized();
    filter.reso.setNormalized(0.5f, true);
    const float resoAtCentre = filter.reso.getValue();
    rig.getCabModule().highLevel.setNormalized(0.5f, true);

    struct Row {
        const char* what;
        double actual;
        double expected;
        double tolerance;
    };
    const Row rows[] = {
        {"frequency at 0", freq.fromNormalized(0.0f), 40.0, 1e-4},
        {"frequency at 1", freq.fromNormalized(1.0f), 19505.8, 0.1},
        {"40 Hz normalised", freq.toNormalized(40.0f), 0.0, 1e-6},
        {"default frequency normalised", freq.toNormalized(656.26410f), 0.452, 5e-4},
        {"the frequency round trip", freq.fromNormalized(freq.toNormalized(1000.0f)), 1000.0, 0.01},
        {"\"Freq\" range bottom", filter.freq.getRange().getMin(), 40.0, 1e-4},
        {"\"Freq\" range top", filter.freq.getRange().getMax(), 19505.8, 0.1},
        {"resonance 0.3 normalised", resonance.toNormalized(0.3f), 0.0, 1e-6},
        {"resonance 10 normalised", resonance.toNormalized(10.0f), 0.7081566, 1e-6},
        {"the resonance round trip", resonance.fromNormalized(resonance.toNormalized(2.5f)), 2.5,
         1e-5},
        {"\"Reso\" at 0.3", resoAtMin, 0.0, 1e-6},
        {"\"Reso\" at 10", resoAtMax, 1.0, 1e-6},
        {"\"Reso\" at the centre", resoAtCentre, 0.3 * std::sqrt(10.0 / 0.3), 1e-4},
        {"compressor output at the centre", compressor.output.getValue(), 0.251189, 1e-6},
        {"chorus level default normalised", chorus.level.getNormalized(), 0.7007, 1e-4},
        {"chorus level range top", chorus.level.getRange().getMax(), 5.623413, 1e-5},
        {"band level default normalised", pro.bandLevel.getNormalized(), 0.5, 1e-6},
        {"tweeter level at the centre", rig.getCabModule().highLevel.getValue(),
         std::pow(10.0, -0.2), 1e-6},
        {"output volume default normalised", rig.getTuner().outputVolume.getNormalized(), 0.5,
         1e-6},
        {"classic gain", classic.gain.getValue(), 5.234375, 0.0},
        {"classic master", classic.master.getValue(), 4.921875, 0.0},
        {"classic freq", classic.freq.getValue(), 3.0, 0.0},
    };
    for (const Row& row : rows)
        EXPECT_NEAR(row.actual, row.expected, row.tolerance) << row.what;
}

TEST(ModelNumbers, MidFrequencySwitchesTakeWholeNumbersOneToFive)
{
    AmpRKMClassic classic;
    AmpV9E v9e;
    AmpRKM4PRO pro;
    const std::pair<float, float> cases[] = {
        {0.0f, 1.0f}, {5.7f, 5.0f}, {2.9f, 2.0f}, {-3.0f, 1.0f}, {99.0f, 5.0f}};
    for (Parameter* freq : {&classic.freq, &v9e.freq, &pro.freq}) {
        for (const auto& [in, out] : cases) {
            freq->setValue(in, true);
            EXPECT_EQ(freq->getValue(), out) << in;
        }
    }
}

// One line per model: the saved names, their order and the defaults are what
// every stored preset depends on.
TEST(ModelNumbers, EachStompModelSavesItsControlsAtTheirDefaults)
{
    const std::pair<int, const char*> models[] = {
        {1, "Balance=\"5.000000\" Bypass=\"0.000000\" Mute=\"0.000000\" Texture=\"5.000000\""},
        {2, "Bypass=\"0.000000\" Direct=\"6.000000\" Mute=\"0.000000\" Octave=\"7.000000\""},
        {3, "Bypass=\"0.000000\" Chorus=\"3.234375\" Level=\"2.000000\" Mode=\"0.000000\" "
            "Mute=\"0.000000\" "
            "VibratoDepth=\"4.343750\" VibratoRate=\"3.437500\""},
        {4, "BPM=\"0.000000\" Blend=\"24.218750\" Bypass=\"0.000000\" ChVib=\"39.843750\" "
            "Delay=\"351.562500\" "
            "DelayBPM=\"7.000000\" Feedback=\"45.312500\" Mode=\"0.000000\" Mute=\"0.000000\""},
        {5, "Bypass=\"0.000000\" Mode=\"0.000000\" Mute=\"0.000000\" Wah=\"28.125000\""},
        {6, "Bypass=\"0.000000\" Mute=\"0.000000\" Output=\"0.599681\" Sensitivity=\"6.171875\""},
        {7, "BandMode=\"2.000000\" Bypass=\"0.000000\" Depth=\"64.062500\" Freq=\"656.264099\" "
            "Mute=\"0.000000\" "
            "PoleMode=\"0.000000\" Reso=\"2.406193\""},
        {8, "Bypass=\"0.000000\" MinLevel=\"0.000000\" Mute=\"0.000000\" Volume=\"100.000000\""},
    };
    for (const auto& [value, attributes] : models) {
        const auto model = createStompModel(value);
        ASSERT_NE(model, nullptr) << value;
        EXPECT_EQ(streamed(*model),
                  std::string("<?xml version=\"1.0\" standalone=\"no\" ?><Preset ") + attributes +
                      " />")
            << StompModule::kModelNames[value];
    }
    EXPECT_EQ(createStompModel(0), nullptr);
    EXPECT_EQ(createStompModel(9), nullptr);
}

TEST(ModelNumbers, EachHeadSavesItsFrontPanelAtItsDefaults)
{
    const std::pair<int, const char*> heads[] = {
        {0, "<AmpModel Band150=\"0.000000\" Band2000=\"0.000000\" Band300=\"0.000000\" "
            "Band40=\"0.000000\" "
            "Band5000=\"0.000000\" Band600=\"0.000000\" Band80=\"0.000000\" Band900=\"0.000000\" "
            "Band9000=\"0.000000\" Bass=\"5.078125\" Bypass=\"0.000000\" EqBypass=\"0.000000\" "
            "Gain=\"6.406250\" "
            "Limit=\"1.000000\" Master=\"4.687500\" Mid=\"5.000000\" Mute=\"0.000000\" "
            "Pad=\"0.000000\" "
            "Treble=\"5.546875\" />"},
        {1, "<AmpModel Bass=\"5.625000\" Bypass=\"0.000000\" Freq=\"2.000000\" Gain=\"4.531250\" "
            "Master=\"3.203125\" Mid=\"5.390625\" Mute=\"0.000000\" Treble=\"4.765625\" "
            "UltraHi=\"0.000000\" "
            "UltraLo=\"0.000000\" Watts=\"1.000000\" />"},
        {3, "<AmpModel Band150=\"0.000000\" Band2000=\"0.000000\" Band300=\"0.000000\" "
            "Band33=\"0.000000\" "
            "Band5000=\"0.000000\" Band600=\"0.000000\" Band80=\"0.000000\" Band8000=\"0.000000\" "
            "Band900=\"0.000000\" BandLevel=\"1.000000\" Bass=\"5.546875\" Bright=\"0.000000\" "
            "Bypass=\"0.000000\" Compression=\"1.171875\" EqBypass=\"0.000000\" Freq=\"3.000000\" "
            "Gain=\"4.062500\" Limit=\"1.000000\" Master=\"4.375000\" Mid=\"4.921875\" "
            "Minus15dB=\"0.000000\" "
            "Mute=\"0.000000\" Treble=\"5.859375\" UltraHi=\"0.000000\" UltraLo=\"0.000000\" />"},
    };
    for (const auto& [value, element] : heads) {
        Rig rig;
        rig.getAmpModule().ampModel.setValue(static_cast<float>(value), true);
        const std::string chunk = rig.saveChunk();
        EXPECT_NE(chunk.find(element), std::string::npos) << AmpModule::kModelNames[value] << "\n"
                                                          << chunk;
    }
}
