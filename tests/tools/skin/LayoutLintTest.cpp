#include "editor/graphics/Bitmap.h"
#include "editor/resources/PlugInResourceProvider.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One row per layout of the skin: the names a panel looks up with the element
// each must be, and its lamps and display-only widgets, which take no clicks.
struct LayoutRow {
    const char* file;
    std::map<std::string, std::string> widgets;
    std::set<std::string> displayOnly;
    // Multi-state buttons and their number of states (images).
    std::map<std::string, int> states = {};
};

void PrintTo(const LayoutRow& row, std::ostream* out)
{
    *out << row.file;
}

// The six cabinet panels share one set of widgets; the microphone picture
// holds each microphone close up and at distance.
LayoutRow cabinet(const char* file)
{
    return {file,
            {{"BypassSwitch", "CheckBox"},
             {"BypassLed", "CheckBox"},
             {"CabinetMatchSwitch", "CheckBox"},
             {"CabinetMatchLed", "CheckBox"},
             {"MicAxisSwitch", "CheckBox"},
             {"MicDistSwitch", "CheckBox"},
             {"AmbienceSlider", "Slider"},
             {"CabinetUpButton", "PushButton"},
             {"CabinetDownButton", "PushButton"},
             {"CabinetModelLabel", "StaticText"},
             {"CabinetMenu", "Menu"},
             {"CabinetModelButton", "PushButton"},
             {"MicUpButton", "PushButton"},
             {"MicDownButton", "PushButton"},
             {"MicModelLabel", "StaticText"},
             {"MicMenu", "Menu"},
             {"MicModelButton", "PushButton"},
             {"Mic", "MultiStateButton"},
             {"HighLevelSwitch", "PushButton"}},
            {"BypassLed", "CabinetMatchLed", "Mic"},
            {{"Mic", 12}}};
}

LayoutRow cabinetBack(const char* file)
{
    return {file, {{"BackgroundButton", "PushButton"}, {"HighLevelControl", "Knob"}}, {}};
}

const std::vector<LayoutRow>& layouts()
{
    static const std::vector<LayoutRow> rows = {
        {"UpperPanel.xml",
         {{"Background", "StaticImage"},
          {"PresetArea", "Group"},
          {"ChainArea", "Group"},
          {"AmpSelectorArea", "Group"},
          {"BypassMuteArea", "Group"}},
         {}},
        {"LowerPanel.xml",
         {{"SelectedValueArea", "Group"},
          {"InputArea", "Group"},
          {"OutputArea", "Group"},
          {"MiscButtonsArea", "Group"},
          {"MiniTunerArea", "Group"},
          {"ToTunerLeftButton", "PushButton"},
          {"ToStompLeftButton", "PushButton"},
          {"ToAmpLeftButton", "PushButton"},
          {"ToCabLeftButton", "PushButton"},
          {"ToTunerRightButton", "PushButton"},
          {"ToStompRightButton", "PushButton"},
          {"ToAmpRightButton", "PushButton"},
          {"ToCabRightButton", "PushButton"}},
         {}},
        {"SelectedValue.xml", {{"Text", "StaticText"}}, {}},
        {"MiniTuner.xml",
         {{"Light", "Knob"}, {"TuneLabel", "StaticText"}, {"TunerPointer", "CheckBox"}},
         {"Light", "TunerPointer"}},
        {"MiscButtons.xml", {{"IButton", "PushButton"}, {"PrefButton", "PushButton"}}, {}},
        {"Input.xml", {{"InMeter", "Knob"}}, {"InMeter"}},
        {"Output.xml",
         {{"MasterKnob", "Knob"},
          {"PhaseKnob", "Knob"},
          {"MixKnob", "Knob"},
          {"VolumeKnob", "Knob"},
          {"OutMeter", "Knob"},
          {"ClipLed", "CheckBox"},
          {"ClipButton", "PushButton"}},
         {"OutMeter", "ClipLed"}},
        {"Tuner.xml",
         {{"Light", "Knob"},
          {"TuneLabel", "StaticText"},
          {"CentsLabel", "StaticText"},
          {"TuneReference", "EditText"},
          {"ArrowLeft", "CheckBox"},
          {"ArrowRight", "CheckBox"},
          {"TunerPointer", "CheckBox"},
          {"BypassSwitch", "CheckBox"},
          {"MuteSwitch", "CheckBox"}},
         {"Light", "ArrowLeft", "ArrowRight", "TunerPointer"}},
        {"ChainNavigator.xml",
         {{"TunerModuleRadioButton", "RadioButton"},
          {"StompModuleRadioButton", "RadioButton"},
          {"AmpModuleRadioButton", "RadioButton"},
          {"CabModuleRadioButton", "RadioButton"}},
         {}},
        {"GeneralBypassMute.xml", {{"BypassButton", "CheckBox"}, {"MuteButton", "CheckBox"}}, {}},
        {"AmpSelector.xml",
         {{"AmpModelLabel", "StaticText"}, {"AmpMenu", "Menu"}, {"AmpModelButton", "PushButton"}},
         {}},
        {"Info.xml",
         {{"VersionText", "StaticText"},
          {"Button", "PushButton"},
          {"PanelRoot", "MultiStateButton"}},
         {"PanelRoot"}},
        {"Preset.xml",
         {{"PresetText", "StaticText"},
          {"PresetMenu", "Menu"},
          {"PresetMenuButton", "PushButton"},
          {"UpButton", "PushButton"},
          {"DownButton", "PushButton"},
          {"SaveButton", "PushButton"},
          {"SaveAsButton", "PushButton"},
          {"DeleteButton", "PushButton"},
          {"PresetFolderButton", "PushButton"}},
         {}},
        {"PresetSave.xml",
         {{"PanelRoot", "Group"},
          {"Box", "Group"},
          {"PresetText", "EditText"},
          {"FolderText", "StaticText"},
          {"FolderButton", "PushButton"},
          {"OverwriteCheckBox", "CheckBox"},
          {"SaveButton", "PushButton"},
          {"CancelButton", "PushButton"},
          {"CloseButton", "PushButton"}},
         {}},
        {"FolderChooser.xml",
         {{"PanelRoot", "Group"},
          {"Box", "Group"},
          {"FolderText", "StaticText"},
          {"FolderMenu", "Menu"},
          {"FolderMenuButton", "PushButton"},
          {"UpButton", "PushButton"},
          {"OKButton", "PushButton"},
          {"CancelButton", "PushButton"}},
         {}},
        {"AmpGN-500.xml",
         {{"BypassSwitch", "CheckBox"}, {"BypassLed", "CheckBox"},   {"MuteSwitch", "CheckBox"},
          {"MuteLed", "CheckBox"},      {"PeakLed", "CheckBox"},     {"GainKnob", "Knob"},
          {"BassKnob", "Knob"},         {"MidKnob", "Knob"},         {"TrebleKnob", "Knob"},
          {"MasterKnob", "Knob"},       {"PadSwitch", "CheckBox"},   {"LimitSwitch", "CheckBox"},
          {"LimitLed", "CheckBox"},     {"EqSwitch", "CheckBox"},    {"EqLed", "CheckBox"},
          {"Eq40HzSlider", "Slider"},   {"Eq80HzSlider", "Slider"},  {"Eq150HzSlider", "Slider"},
          {"Eq300HzSlider", "Slider"},  {"Eq600HzSlider", "Slider"}, {"Eq900HzSlider", "Slider"},
          {"Eq2kHzSlider", "Slider"},   {"Eq5kHzSlider", "Slider"},  {"Eq9kHzSlider", "Slider"}},
         {"BypassLed", "MuteLed", "PeakLed", "LimitLed", "EqLed"}},
        {"AmpQ-9W.xml",
         {{"BypassSwitch", "CheckBox"},
          {"MuteSwitch", "CheckBox"},
          {"GainKnob", "Knob"},
          {"BassKnob", "Knob"},
          {"MidKnob", "Knob"},
          {"FreqKnob", "Knob"},
          {"TrebleKnob", "Knob"},
          {"MasterKnob", "Knob"},
          {"HiSwitch", "CheckBox"},
          {"LoSwitch", "CheckBox"},
          {"WSwitch", "CheckBox"},
          {"Valves", "Knob"}},
         {}},
        {"AmpRKM-Classic.xml",
         {{"BypassSwitch", "CheckBox"},
          {"MuteSwitch", "CheckBox"},
          {"GreenLed", "CheckBox"},
          {"RedLed", "CheckBox"},
          {"GainKnob", "Knob"},
          {"BassKnob", "Knob"},
          {"MidKnob", "Knob"},
          {"FreqKnob", "Knob"},
          {"TrebleKnob", "Knob"},
          {"MasterKnob", "Knob"},
          {"HiSwitch", "CheckBox"},
          {"LoSwitch", "CheckBox"}},
         {"GreenLed", "RedLed"}},
        {"AmpRKM-4PRO.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"MuteSwitch", "CheckBox"},
          {"15dBSwitch", "CheckBox"},
          {"GainKnob", "Knob"},
          {"CompressionKnob", "Knob"},
          {"HiSwitch", "CheckBox"},
          {"LoSwitch", "CheckBox"},
          {"BassKnob", "Knob"},
          {"MidKnob", "Knob"},
          {"FreqKnob", "Knob"},
          {"TrebleKnob", "Knob"},
          {"LimitDefeatSwitch", "CheckBox"},
          {"BrightSwitch", "CheckBox"},
          {"MasterKnob", "Knob"},
          {"LimitLed", "CheckBox"},
          {"PeakLed", "CheckBox"},
          {"EqLed", "CheckBox"},
          {"Eq33HzSlider", "Slider"},
          {"Eq80HzSlider", "Slider"},
          {"Eq150HzSlider", "Slider"},
          {"Eq300HzSlider", "Slider"},
          {"Eq600HzSlider", "Slider"},
          {"Eq900HzSlider", "Slider"},
          {"Eq2kHzSlider", "Slider"},
          {"Eq5kHzSlider", "Slider"},
          {"Eq8kHzSlider", "Slider"},
          {"EqLevelSlider", "Slider"}},
         {"BypassLed", "LimitLed", "PeakLed", "EqLed"}},
        {"Stomps.xml",
         {{"Slot0UpButton", "PushButton"},    {"Slot0DownButton", "PushButton"},
          {"Slot0ModelLabel", "StaticText"},  {"Slot0Menu", "Menu"},
          {"Slot0ModelButton", "PushButton"}, {"Slot0Area", "Group"},
          {"Slot1UpButton", "PushButton"},    {"Slot1DownButton", "PushButton"},
          {"Slot1ModelLabel", "StaticText"},  {"Slot1Menu", "Menu"},
          {"Slot1ModelButton", "PushButton"}, {"Slot1Area", "Group"},
          {"Slot2UpButton", "PushButton"},    {"Slot2DownButton", "PushButton"},
          {"Slot2ModelLabel", "StaticText"},  {"Slot2Menu", "Menu"},
          {"Slot2ModelButton", "PushButton"}, {"Slot2Area", "Group"},
          {"Slot3UpButton", "PushButton"},    {"Slot3DownButton", "PushButton"},
          {"Slot3ModelLabel", "StaticText"},  {"Slot3Menu", "Menu"},
          {"Slot3ModelButton", "PushButton"}, {"Slot3Area", "Group"},
          {"Slot4UpButton", "PushButton"},    {"Slot4DownButton", "PushButton"},
          {"Slot4ModelLabel", "StaticText"},  {"Slot4Menu", "Menu"},
          {"Slot4ModelButton", "PushButton"}, {"Slot4Area", "Group"},
          {"Slot5UpButton", "PushButton"},    {"Slot5DownButton", "PushButton"},
          {"Slot5ModelLabel", "StaticText"},  {"Slot5Menu", "Menu"},
          {"Slot5ModelButton", "PushButton"}, {"Slot5Area", "Group"}},
         {}},
        {"StompOverdrive.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"TextureKnob", "Knob"},
          {"BalanceKnob", "Knob"}},
         {"BypassLed"}},
        {"StompOctaver.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"OctaveKnob", "Knob"},
          {"DirectKnob", "Knob"}},
         {"BypassLed"}},
        {"StompRI1.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"LevelKnob", "Knob"},
          {"ChorusKnob", "Knob"},
          {"VibratoDepthKnob", "Knob"},
          {"VibratoRateKnob", "Knob"},
          {"VibratoSwitch", "CheckBox"},
          {"ChorusSwitch", "CheckBox"},
          {"VCSwitch", "CheckBox"}},
         {"BypassLed"}},
        {"StompMemoryMan.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"DelayKnob", "Knob"},
          {"FeedbackKnob", "Knob"},
          {"BlendKnob", "Knob"},
          {"ChVibKnob", "Knob"},
          {"VibratoSwitch", "CheckBox"},
          {"ChorusSwitch", "CheckBox"},
          {"VCSwitch", "CheckBox"},
          {"BPMSwitch", "MultiStateButton"},
          {"DelayBPMKnob", "Knob"}},
         {"BypassLed"},
         {{"BPMSwitch", 2}}},
        {"StompWah.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"ModeSwitch", "MultiStateButton"},
          {"WahPedal", "Knob"},
          {"OffLed", "CheckBox"},
          {"AutoLed", "CheckBox"},
          {"OnLed", "CheckBox"}},
         {"BypassLed", "OffLed", "AutoLed", "OnLed"},
         {{"ModeSwitch", 3}}},
        {"StompDynaComp.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"OutputKnob", "Knob"},
          {"SensitivityKnob", "Knob"}},
         {"BypassLed"}},
        {"StompEnvelopeFilter.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"FreqKnob", "Knob"},
          {"ResonanceKnob", "Knob"},
          {"DepthKnob", "Knob"},
          {"PoleModeSwitch", "MultiStateButton"},
          {"BandModeSwitch", "MultiStateButton"},
          {"BPLed", "CheckBox"},
          {"LPLed", "CheckBox"},
          {"HPLed", "CheckBox"}},
         {"BypassLed", "BPLed", "LPLed", "HPLed"},
         {{"PoleModeSwitch", 2}, {"BandModeSwitch", 3}}},
        {"StompVolume.xml",
         {{"BypassSwitch", "CheckBox"},
          {"BypassLed", "CheckBox"},
          {"VolumePedal", "Knob"},
          {"MinLevelKnob", "Knob"},
          {"ModeSwitch", "MultiStateButton"}},
         {"BypassLed"},
         {{"ModeSwitch", 2}}},
        cabinet("CabGN-500.xml"),
        cabinet("CabV9E.xml"),
        cabinet("CabJMR410H.xml"),
        cabinet("CabWF212H.xml"),
        cabinet("CabRKM410H.xml"),
        cabinet("CabRKM810E.xml"),
        cabinetBack("CabBackStandard.xml"),
        cabinetBack("CabBackV9E.xml"),
        cabinetBack("CabBackJMR410H.xml"),
        {"Preferences.xml",
         {{"DSMActiveCheckBox", "CheckBox"},
          {"SaveButton", "PushButton"},
          {"CloseButton", "PushButton"},
          {"CancelButton", "PushButton"}},
         {}},
    };
    return rows;
}

bool isImageAttribute(const std::string& name)
{
    static const std::set<std::string> names = {
        "Image",   "Strip", "Released",         "Pressed",        "Highlight", "Unchecked",
        "Checked", "Back",  "UncheckedPressed", "CheckedPressed", "Handle",    "ActiveAreaImage"};
    return names.count(name) || (name.size() > 5 && name.compare(0, 5, "Image") == 0 &&
                                 name.find_first_not_of("0123456789", 5) == std::string::npos);
}

class LayoutLint : public ::testing::TestWithParam<LayoutRow> {
protected:
    void SetUp() override { provider.addLocation(SKIN_DIR); }

    // Walks the element and its children, checking what each refers to.
    void check(const TiXmlElement& element, std::map<std::string, std::string>& seen,
               const LayoutRow& row)
    {
        const std::string type = element.Value();
        const char* name = element.Attribute("Name");
        if (name) {
            EXPECT_FALSE(seen.count(name)) << name << " named twice";
            seen[name] = type;
        }
        for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next()) {
            const std::string attribute = a->Name();
            if (isImageAttribute(attribute))
                EXPECT_TRUE(fs::exists(fs::path(SKIN_DIR) / a->Value()))
                    << type << " " << (name ? name : "") << ": image " << a->Value();
            if (attribute == "Font")
                EXPECT_TRUE(fs::exists(fs::path(SKIN_DIR) / a->Value())) << "font " << a->Value();
        }
        if (type == "Knob") {
            int frames = 0;
            element.QueryIntAttribute("Frames", &frames);
            EXPECT_GE(frames, 1) << name;
            if (const char* strip = element.Attribute("Strip"); strip && frames >= 1) {
                const auto* image = provider.getImageCache().get(strip);
                ASSERT_NE(image, nullptr) << strip;
                EXPECT_EQ(image->height % frames, 0) << name << ": " << strip;
                provider.getImageCache().release(image);
            }
        }
        if (name && row.states.count(name)) {
            int images = 0;
            for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next())
                if (std::string(a->Name()).compare(0, 5, "Image") == 0 &&
                    std::string(a->Name()).size() > 5)
                    ++images;
            EXPECT_EQ(type, "MultiStateButton") << name;
            EXPECT_EQ(images, row.states.at(name)) << name << " states";
        }
        if (name && row.displayOnly.count(name)) {
            int enabled = 1;
            element.QueryIntAttribute("Enabled", &enabled);
            EXPECT_EQ(enabled, 0) << name << " takes no clicks";
        }
        for (const TiXmlElement* child = element.FirstChildElement(); child;
             child = child->NextSiblingElement())
            check(*child, seen, row);
    }

    Zq::Application::Res::PlugInResourceProvider provider;
};

TEST_P(LayoutLint, namesClassesImagesFontsFramesAndLampsHoldTogether)
{
    const LayoutRow& row = GetParam();
    TiXmlDocument document((fs::path(SKIN_DIR) / row.file).string());
    ASSERT_TRUE(document.LoadFile()) << row.file;
    const TiXmlElement* top = document.FirstChildElement();
    ASSERT_NE(top, nullptr);
    ASSERT_STREQ(top->Value(), "Layout");
    std::map<std::string, std::string> seen;
    for (const TiXmlElement* child = top->FirstChildElement(); child;
         child = child->NextSiblingElement())
        check(*child, seen, row);
    for (const auto& [name, type] : row.widgets) {
        ASSERT_TRUE(seen.count(name)) << name;
        EXPECT_EQ(seen.at(name), type) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Skin, LayoutLint, ::testing::ValuesIn(layouts()),
                         [](const ::testing::TestParamInfo<LayoutRow>& info) {
                             std::string name = info.param.file;
                             name = name.substr(0, name.find('.'));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// The cabinet panel moves the microphone picture from its laid-out place by
// 8 pixels left (at distance, "Vintage Dynamic 20") up to 64 right (close up,
// "Dynamic 20", off axis); every place must stay inside the panel, or a part
// of the picture is cut off for some microphone.
TEST(CabinetLayouts, theMicrophonePictureStaysInsideThePanelAtEveryShift)
{
    Zq::Application::Res::PlugInResourceProvider provider;
    provider.addLocation(SKIN_DIR);
    for (const char* file : {"CabGN-500.xml", "CabV9E.xml", "CabJMR410H.xml", "CabWF212H.xml",
                             "CabRKM410H.xml", "CabRKM810E.xml"}) {
        SCOPED_TRACE(file);
        TiXmlDocument document((fs::path(SKIN_DIR) / file).string());
        ASSERT_TRUE(document.LoadFile());
        const TiXmlElement* group =
            document.FirstChildElement("Layout")->FirstChildElement("Group");
        ASSERT_NE(group, nullptr);
        int groupWidth = 0;
        group->QueryIntAttribute("SizeW", &groupWidth);
        const TiXmlElement* mic = group->FirstChildElement("MultiStateButton");
        while (mic && std::string(mic->Attribute("Name")) != "Mic")
            mic = mic->NextSiblingElement("MultiStateButton");
        ASSERT_NE(mic, nullptr);
        int x = 0;
        mic->QueryIntAttribute("PositionX", &x);
        int widest = 0;
        for (int frame = 0; frame < 12; ++frame) {
            const char* name = mic->Attribute(("Image" + std::to_string(frame)).c_str());
            ASSERT_NE(name, nullptr) << frame;
            const auto* image = provider.getImageCache().get(name);
            ASSERT_NE(image, nullptr) << name;
            widest = std::max(widest, image->width);
            provider.getImageCache().release(image);
        }
        EXPECT_GE(x - 8, 0);
        EXPECT_LE(x + 64 + widest, groupWidth);
    }
}

// Every layout the editor's panels load, by name, the folder chooser's apart:
// one missing from the skin is named here rather than found by a panel that
// stays empty.
TEST(SkinLayouts, holdAllThirtySevenLayoutsThePanelsLoad)
{
    const std::vector<std::string> all = {"UpperPanel.xml",
                                          "LowerPanel.xml",
                                          "SelectedValue.xml",
                                          "MiniTuner.xml",
                                          "MiscButtons.xml",
                                          "Input.xml",
                                          "Output.xml",
                                          "Tuner.xml",
                                          "ChainNavigator.xml",
                                          "GeneralBypassMute.xml",
                                          "AmpSelector.xml",
                                          "Info.xml",
                                          "Preset.xml",
                                          "PresetSave.xml",
                                          "Preferences.xml",
                                          "AmpGN-500.xml",
                                          "AmpQ-9W.xml",
                                          "AmpRKM-Classic.xml",
                                          "AmpRKM-4PRO.xml",
                                          "Stomps.xml",
                                          "StompOverdrive.xml",
                                          "StompOctaver.xml",
                                          "StompRI1.xml",
                                          "StompMemoryMan.xml",
                                          "StompWah.xml",
                                          "StompDynaComp.xml",
                                          "StompEnvelopeFilter.xml",
                                          "StompVolume.xml",
                                          "CabGN-500.xml",
                                          "CabV9E.xml",
                                          "CabJMR410H.xml",
                                          "CabWF212H.xml",
                                          "CabRKM410H.xml",
                                          "CabRKM810E.xml",
                                          "CabBackStandard.xml",
                                          "CabBackV9E.xml",
                                          "CabBackJMR410H.xml"};
    ASSERT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 37u);
    std::string missing;
    for (const std::string& name : all)
        if (!fs::exists(fs::path(SKIN_DIR) / name))
            missing += " " + name;
    EXPECT_TRUE(fs::exists(fs::path(SKIN_DIR) / "FolderChooser.xml")) << "the chooser's layout";
    EXPECT_EQ(missing, "") << "layouts the skin lacks";
}

} // namespace
