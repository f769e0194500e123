#include "FixtureDocument.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using Zq::BorvanRAZ::Document::presetNameFromPath;

namespace {

const std::string kGoldenChunk =
    "<?xml version=\"1.0\" standalone=\"no\" ?>"
    "<Preset PresetName=\"My.Song.\">"
    "<Amp Gain=\"-12.000000\" Voice=\"Bright\"><AmpModel Bass=\"5.000000\" /></Amp>"
    "<Cab Mix=\"0.100000\" />"
    "</Preset>";

void loadChunk(FixtureDocument& document, const std::string& text)
{
    document.loadChunk(text.data(), static_cast<std::int32_t>(text.size()));
}

std::string savedPreset(const FixtureDocument& document)
{
    std::ostringstream out;
    document.save(out);
    return out.str();
}

} // namespace

TEST(DocumentChunk, WritesTheGoldenText)
{
    FixtureDocument document;
    document.setPresetName("C:\\Presets\\My.Song.qomp");
    EXPECT_EQ(document.saveChunk(), kGoldenChunk);
}

TEST(DocumentChunk, RoundTripsValuesAndTheName)
{
    FixtureDocument source;
    source.setAll(-3.5f, 2.0f, 0.25f, 1.0f);
    source.setPresetName("Fat Fingers");
    const std::string chunk = source.saveChunk();

    FixtureDocument target;
    target.fired.clear();
    std::vector<std::string> order;
    target.beforeLoad.connect([&] { order.push_back("before"); });
    target.gain.changed.connect([&](auto*) { order.push_back("gain"); });
    target.afterLoad.connect([&] { order.push_back("after"); });
    target.presetNameChanged.connect([&] { order.push_back("name"); });
    loadChunk(target, chunk);
    EXPECT_EQ(target.values(), source.values());
    EXPECT_EQ(target.getPresetName(), "Fat Fingers");
    EXPECT_EQ(order, (std::vector<std::string>{"before", "gain", "after", "name"}));
}

TEST(DocumentChunk, EveryPresetNameSurvivesTheRoundTrip)
{
    for (const std::string name :
         {"My.Song", "Plain", "", "a..b", "Ends.With.Dot.", "Say \"Hi\" & <Bye>", "It's \"Bass\"",
          "B\xC3\xA4ss T\xC3\xB6n"}) {
        FixtureDocument source, target;
        source.setPresetName("presets/" + name + ".qomp");
        ASSERT_EQ(source.getPresetName(), name);
        loadChunk(target, source.saveChunk());
        EXPECT_EQ(target.getPresetName(), name);
    }
}

TEST(DocumentChunk, ReadsAnyRootAndItsPresetName)
{
    const struct {
        std::string name;
        std::string text;
        std::string presetName;
        float gain;
    } cases[] = {
        {"the extension goes", R"(<Preset PresetName="My.Song.qomp"><Amp Gain="1" /></Preset>)",
         "My.Song", 1.0f},
        {"a path keeps its leaf", R"(<Preset PresetName="a/b"><Amp Gain="2" /></Preset>)", "b",
         2.0f},
        {"no attribute gives the empty name", R"(<Preset><Amp Gain="3" /></Preset>)", "", 3.0f},
        {"a root of another name loads", R"(<State PresetName="x"><Amp Gain="4" /></State>)", "x",
         4.0f},
    };
    for (const auto& c : cases) {
        FixtureDocument document;
        document.setPresetName("old");
        loadChunk(document, c.text);
        EXPECT_EQ(document.getPresetName(), c.presetName) << c.name;
        EXPECT_EQ(document.gain.getValue(), c.gain) << c.name;
        EXPECT_EQ(document.fired["before"], 1) << c.name;
        EXPECT_EQ(document.fired["after"], 1) << c.name;
    }
}

TEST(DocumentPresetName, KeepsTheLeafWithoutItsExtension)
{
    const struct {
        std::string text, name;
    } cases[] = {
        {"My.Song.qomp", "My.Song"},
        {"a/b", "b"},
        {"C:\\x\\My.Song.qomp", "My.Song"},
        {"dir\\sub/file.txt", "file"},
        {".hidden", ""},
        {"dir/", ""},
        {"Plain", "Plain"},
        {"", ""},
    };
    FixtureDocument document;
    int fired = 0;
    for (const auto& c : cases) {
        document.setPresetName(c.text);
        EXPECT_EQ(document.getPresetName(), c.name) << c.text;
        EXPECT_EQ(document.fired["name"], ++fired) << c.text;
    }
    document.setPresetName("Plain");
    document.setPresetName("Plain");
    EXPECT_EQ(document.fired["name"], fired + 2) << "fires on every setting, changed or not";
    EXPECT_EQ(presetNameFromPath("presets/Tight.Low.End.qomp"), "Tight.Low.End");
}

TEST(DocumentStream, PresetFilesCarryNoNameAndBothFormsReadEachOther)
{
    FixtureDocument source;
    source.setAll(6.0f, 0.0f, 9.5f, 0.75f);
    source.setPresetName("Kept Out");
    const std::string preset = savedPreset(source);
    EXPECT_EQ(preset,
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"
              "<Preset><Amp Gain=\"6.000000\" Voice=\"Warm\"><AmpModel Bass=\"9.500000\" /></Amp>"
              "<Cab Mix=\"0.750000\" /></Preset>");

    FixtureDocument fromPreset;
    fromPreset.setPresetName("Untouched");
    loadChunk(fromPreset, preset);
    EXPECT_EQ(fromPreset.values(), source.values());
    EXPECT_EQ(fromPreset.getPresetName(), "") << "a chunk without the attribute";

    FixtureDocument fromChunk;
    fromChunk.setPresetName("Untouched");
    std::istringstream in(source.saveChunk());
    fromChunk.load(in);
    EXPECT_EQ(fromChunk.values(), source.values());
    EXPECT_EQ(fromChunk.getPresetName(), "Untouched")
        << "the stream form leaves the name to its caller";
    EXPECT_EQ(fromChunk.fired["before"], 1);
    EXPECT_EQ(fromChunk.fired["after"], 1);
}

TEST(DocumentStream, AnEmptyTreeIsAnEmptyPreset)
{
    Zq::BorvanRAZ::Document::Main document;
    std::ostringstream out;
    document.save(out);
    EXPECT_EQ(out.str(), "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><Preset />");
    EXPECT_EQ(document.saveChunk(),
              "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"\" />");
    EXPECT_NE(document.getLock(), nullptr);
    EXPECT_EQ(document.getEngineChannel()->strings.size(), 20u);
}
