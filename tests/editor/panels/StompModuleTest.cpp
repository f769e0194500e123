#include "PanelFixture.h"

#include <functional>
#include <limits>
#include <regex>
#include <string>
#include <type_traits>
#include <vector>

#include "editor/panels/AdapterStaticTextMeter.h"
#include "editor/panels/StompModels.h"
#include "editor/panels/StompModule.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/StompModels.h"

namespace test::panels {
namespace {

namespace GUIp = Zq::BorvanRAZ::GUI;
namespace Doc = Zq::BorvanRAZ::Document;
using Zq::Application::DocView::Parameter;

class StompModuleTest : public EditorTest {
protected:
    void show()
    {
        if (!editor) {
            build();
            open();
        }
        editor->showModule(2);
        chain = dynamic_cast<GUIp::StompModule*>(editor->getModulePanel());
        ASSERT_NE(chain, nullptr);
    }
    Parameter& selector(int slot) { return rig.getStompModule().stomps[slot]; }
    std::string slotName(int slot, const char* suffix)
    {
        return "Slot" + std::to_string(slot) + suffix;
    }
    std::string label(int slot)
    {
        return widget<Widgets::StaticText>(chain, slotName(slot, "ModelLabel"))->getText();
    }
    std::string selectedText() const { return editor->getSelectedValueText()->getText(); }
    void drag(GUI::Widget* w, int dy)
    {
        const auto at = w->absolutePosition();
        const int x = at.x + w->getSize().x / 2;
        const int y = at.y + w->getSize().y / 2;
        window().mouseMove(x, y, 0);
        window().mouseDown(x, y, 1, 0);
        window().mouseMove(x, y + dy, 1);
        window().mouseUp(x, y + dy, 1, 0);
        editor->idle();
    }

    GUIp::StompModule* chain = nullptr;
};

// The pedals with a panel so far, by selector value.
struct Pedal {
    int value;
    const char* name;
    std::function<bool(GUIp::StompBox*)> isIt;
};

const std::vector<Pedal>& builtPedals()
{
    auto is = [](auto* typed) {
        using T = std::remove_pointer_t<decltype(typed)>;
        return [](GUIp::StompBox* p) { return dynamic_cast<T*>(p) != nullptr; };
    };
    static const std::vector<Pedal> pedals = {
        {1, "Borvan DLK-OD", is(static_cast<GUIp::StompOverdrive*>(nullptr))},
        {2, "Borvan DLK-OCT", is(static_cast<GUIp::StompOctaver*>(nullptr))},
        {3, "Analog Chorus", is(static_cast<GUIp::StompRI1*>(nullptr))},
        {4, "Analog Delay", is(static_cast<GUIp::StompMemoryMan*>(nullptr))},
        {5, "Bass Wah", is(static_cast<GUIp::StompWah*>(nullptr))},
        {6, "Compressor", is(static_cast<GUIp::StompDynaComp*>(nullptr))},
        {7, "Envelope Filter", is(static_cast<GUIp::StompEnvelopeFilter*>(nullptr))},
        {8, "Volume Pedal", is(static_cast<GUIp::StompVolume*>(nullptr))}};
    return pedals;
}

TEST_F(StompModuleTest, everyPedalBuildsInEverySlotAndTheLabelNamesIt)
{
    show();
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(chain->getPedal(slot), nullptr) << "empty at start";
        EXPECT_EQ(label(slot), "Empty");
        auto* menu = widget<Widgets::Menu>(chain, slotName(slot, "Menu"));
        ASSERT_EQ(menu->getItemCount(), 9);
        EXPECT_EQ(menu->getItem(8).text, "Volume Pedal");
        for (const Pedal& pedal : builtPedals()) {
            selector(slot).setValue(static_cast<float>(pedal.value), true);
            ASSERT_TRUE(pedal.isIt(chain->getPedal(slot))) << slot << " " << pedal.name;
            EXPECT_EQ(chain->getPedal(slot)->getSlot(), static_cast<unsigned>(slot));
            EXPECT_EQ(label(slot), pedal.name);
        }
        selector(slot).setValue(0.0f, true);
        EXPECT_EQ(chain->getPedal(slot), nullptr);
    }
}

TEST_F(StompModuleTest, stepsAtTheEndsAndChoosingTheHeldPedalChangeAndRebuildNothing)
{
    show();
    int changes = 0;
    boost::signals2::scoped_connection counting =
        selector(0).changed.connect([&](Parameter*) { ++changes; });
    const std::string before = rig.saveChunk();
    click(widget<GUI::Widget>(chain, "Slot0UpButton"));
    EXPECT_EQ(selector(0).getValue(), 0.0f);
    EXPECT_EQ(rig.saveChunk(), before);

    click(widget<GUI::Widget>(chain, "Slot0DownButton"));
    EXPECT_EQ(selector(0).getValue(), 1.0f) << "down steps to the next pedal";
    GUIp::StompBox* overdrive = chain->getPedal(0);
    ASSERT_NE(overdrive, nullptr);
    changes = 0;
    auto* menu = widget<Widgets::Menu>(chain, "Slot0Menu");
    click(widget<GUI::Widget>(chain, "Slot0ModelButton"));
    EXPECT_TRUE(menu->isVisible());
    menu->selected(menu, 1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(chain->getPedal(0), overdrive) << "the held pedal is not rebuilt";

    selector(0).setValue(8.0f, true);
    changes = 0;
    const std::string atTheEnd = rig.saveChunk();
    click(widget<GUI::Widget>(chain, "Slot0DownButton"));
    EXPECT_EQ(selector(0).getValue(), 8.0f);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(rig.saveChunk(), atTheEnd);
}

TEST_F(StompModuleTest, aPresetLoadWhileShownReplacesTheChangedPedal)
{
    selector(2).setValue(1.0f, true);
    const std::string withOverdrive = rig.saveChunk();
    selector(2).setValue(0.0f, true);
    show();
    EXPECT_EQ(chain->getPedal(2), nullptr);
    load(withOverdrive);
    chain = dynamic_cast<GUIp::StompModule*>(editor->getModulePanel());
    ASSERT_NE(chain, nullptr);
    EXPECT_NE(dynamic_cast<GUIp::StompOverdrive*>(chain->getPedal(2)), nullptr);
}

TEST_F(StompModuleTest, aPedalLayoutLackingAWidgetLeavesOnlyItsSlotEmpty)
{
    overrides.write("StompOverdrive.xml",
                    R"(<?xml version="1.0" ?><Layout>
  <CheckBox Name="BypassSwitch" PositionX="0" PositionY="0" Unchecked="ToggleOff.tga" Checked="ToggleOn.tga" />
  <CheckBox Name="BypassLed" PositionX="0" PositionY="50" Unchecked="ToggleOff.tga" Checked="ToggleOn.tga" />
  <Knob Name="BalanceKnob" Strip="KnobSmall.tgz" Frames="64" PositionX="0" PositionY="100" />
</Layout>)");
    selector(3).setValue(1.0f, true);
    show();
    EXPECT_EQ(chain->getPedal(3), nullptr);
    EXPECT_EQ(label(3), "Borvan DLK-OD");
    click(widget<GUI::Widget>(chain, "Slot3UpButton"));
    EXPECT_EQ(selector(3).getValue(), 0.0f) << "the slot's selector controls stay";
}

TEST_F(StompModuleTest, theOverdriveBindsItsKnobsAndShowsTheTextureOnOpening)
{
    selector(1).setValue(1.0f, true);
    auto& model = dynamic_cast<Doc::StompOverdrive&>(*rig.getStompModule().getStomp(1));
    model.texture.setValue(model.texture.getValue(), false);
    const std::string before = rig.saveChunk();
    show();
    EXPECT_EQ(rig.saveChunk(), before) << "opening changes nothing";
    EXPECT_TRUE(std::regex_match(selectedText(), std::regex(R"(-?\d+\.\d)"))) << selectedText();
    GUIp::StompBox* pedal = chain->getPedal(1);
    struct Binding {
        const char* widget;
        Parameter* parameter;
    };
    for (const Binding& b :
         {Binding{"TextureKnob", &model.texture}, Binding{"BalanceKnob", &model.balance}}) {
        const float old = b.parameter->getValue();
        drag(widget<GUI::Widget>(pedal, b.widget), -30);
        if (b.parameter->getValue() == old)
            drag(widget<GUI::Widget>(pedal, b.widget), 30);
        EXPECT_NE(b.parameter->getValue(), old) << b.widget;
        EXPECT_TRUE(std::regex_match(selectedText(), std::regex(R"(-?\d+\.\d)"))) << selectedText();
        b.parameter->setValue(old, true);
        EXPECT_EQ(rig.saveChunk(), before) << b.widget << " moved only its own parameter";
    }
    click(widget<GUI::Widget>(pedal, "BypassSwitch"));
    EXPECT_EQ(widget<Widgets::CheckBox>(pedal, "BypassLed")->isChecked(),
              model.bypass.getValue() != 0.0f);
    EXPECT_NE(rig.saveChunk(), before);
}

// One row per knob of a pedal: the value text a change shows.
struct KnobRow {
    int pedal;
    const char* widget;
    const char* text; // a pattern
};

TEST_F(StompModuleTest, everyPedalKnobMovesItsOwnParameterAndShowsItsText)
{
    const char* one = R"(-?\d+\.\d)";
    const KnobRow rows[] = {
        {2, "OctaveKnob", one},
        {2, "DirectKnob", one},
        {3, "LevelKnob", R"((-?\d+\.\d|-Inf)dB)"},
        {3, "ChorusKnob", one},
        {3, "VibratoDepthKnob", one},
        {3, "VibratoRateKnob", one},
        {4, "DelayKnob", R"(-?\d+\.\dms)"},
        {4, "FeedbackKnob", R"(-?\d+%)"},
        {4, "BlendKnob", R"(-?\d+%)"},
        {4, "ChVibKnob", R"(-?\d+%)"},
        {5, "WahPedal", R"(-?\d+%)"},
        {6, "OutputKnob", R"((-?\d+\.\d\d|-Inf)dB)"},
        {6, "SensitivityKnob", one},
        {7, "FreqKnob", R"(-?\d+\.\dHz)"},
        {7, "ResonanceKnob", one},
        {7, "DepthKnob", R"(-?\d+%)"},
        {8, "VolumePedal", R"(-?\d+%)"},
        {8, "MinLevelKnob", one},
    };
    show();
    for (const KnobRow& row : rows) {
        SCOPED_TRACE(row.widget);
        selector(4).setValue(static_cast<float>(row.pedal), true);
        GUIp::StompBox* pedal = chain->getPedal(4);
        ASSERT_NE(pedal, nullptr);
        auto* knob = widget<Widgets::Knob>(pedal, row.widget);
        const std::string before = rig.saveChunk();
        const float old = knob->getValue();
        drag(knob, -30);
        if (knob->getValue() == old)
            drag(knob, 30);
        EXPECT_NE(rig.saveChunk(), before);
        EXPECT_TRUE(std::regex_match(selectedText(), std::regex(row.text))) << selectedText();
        // Putting the knob back restores the state: nothing else moved.
        selector(4).setValue(0.0f, true);
        selector(4).setValue(static_cast<float>(row.pedal), true);
        EXPECT_EQ(rig.saveChunk(), before);
    }
}

TEST_F(StompModuleTest, openingEveryPedalLeavesTheStateAsItWasAndShowsAValue)
{
    for (int slot = 0; slot < 6; ++slot)
        selector(slot).setValue(static_cast<float>(slot + 1), true);
    const std::string before = rig.saveChunk();
    show();
    EXPECT_EQ(rig.saveChunk(), before);
    for (int value : {7, 8}) {
        selector(0).setValue(static_cast<float>(value), true);
        const std::string withIt = rig.saveChunk();
        editor->showModule(1);
        editor->getSelectedValueText()->setText("");
        editor->showModule(2);
        EXPECT_EQ(rig.saveChunk(), withIt);
        EXPECT_NE(selectedText(), "") << value;
    }
}

TEST(NoteValue, theFourteenNoteValuesAndNothingOutside)
{
    using GUIp::AdapterStaticTextMeter;
    EXPECT_STREQ(AdapterStaticTextMeter::noteValue(0), "1/32");
    EXPECT_STREQ(AdapterStaticTextMeter::noteValue(3), "1/16d");
    EXPECT_STREQ(AdapterStaticTextMeter::noteValue(7.9f), "1/4");
    EXPECT_STREQ(AdapterStaticTextMeter::noteValue(13), "1/1");
    for (float outside : {14.0f, -1.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_STREQ(AdapterStaticTextMeter::noteValue(outside), "") << outside;
}

TEST_F(StompModuleTest, theDelaySwitchesBetweenMillisecondsAndTheNoteValue)
{
    selector(0).setValue(4.0f, true);
    show();
    GUIp::StompBox* pedal = chain->getPedal(0);
    auto& model = dynamic_cast<Doc::StompMemoryMan&>(*rig.getStompModule().getStomp(0));
    auto* delay = widget<GUI::Widget>(pedal, "DelayKnob");
    auto* note = widget<GUI::Widget>(pedal, "DelayBPMKnob");
    EXPECT_TRUE(delay->isVisible());
    EXPECT_FALSE(note->isVisible());
    EXPECT_TRUE(std::regex_match(selectedText(), std::regex(R"(-?\d+\.\dms)"))) << selectedText();
    model.delayBpm.setValue(13.0f, true);
    EXPECT_TRUE(std::regex_match(selectedText(), std::regex(R"(-?\d+\.\dms)")))
        << "the note value stays silent while BPM is off";

    click(widget<GUI::Widget>(pedal, "BPMSwitch"));
    EXPECT_EQ(model.bpm.getValue(), 1.0f);
    EXPECT_FALSE(delay->isVisible());
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(selectedText(), "1/1");
    model.delayBpm.setValue(0.0f, true);
    EXPECT_EQ(selectedText(), "1/32");
    model.delay.setValue(300.0f, true);
    EXPECT_EQ(selectedText(), "1/32") << "the time stays silent while BPM is on";

    click(widget<GUI::Widget>(pedal, "BPMSwitch"));
    EXPECT_EQ(model.bpm.getValue(), 0.0f);
    EXPECT_TRUE(delay->isVisible());
    EXPECT_FALSE(note->isVisible());
    EXPECT_EQ(selectedText(), "300.0ms");
}

TEST_F(StompModuleTest, theChorusModeSwitchesAllShowTheOneMode)
{
    selector(0).setValue(3.0f, true);
    show();
    GUIp::StompBox* pedal = chain->getPedal(0);
    auto& model = dynamic_cast<Doc::StompRI1&>(*rig.getStompModule().getStomp(0));
    click(widget<GUI::Widget>(pedal, "ChorusSwitch"));
    const bool on = model.mode.getValue() != 0.0f;
    for (const char* name : {"VibratoSwitch", "ChorusSwitch", "VCSwitch"})
        EXPECT_EQ(widget<Widgets::CheckBox>(pedal, name)->isChecked(), on) << name;
}

TEST_F(StompModuleTest, theWahSwitchRunsOffOnAutoOffWithItsLamps)
{
    selector(0).setValue(5.0f, true);
    show();
    GUIp::StompBox* pedal = chain->getPedal(0);
    auto& model = dynamic_cast<Doc::StompWah&>(*rig.getStompModule().getStomp(0));
    model.bypass.setValue(1.0f, true);
    auto* modeSwitch = widget<Widgets::MultiStateButton>(pedal, "ModeSwitch");
    auto lit = [&](const char* name) {
        return widget<Widgets::CheckBox>(pedal, name)->isChecked();
    };
    EXPECT_EQ(modeSwitch->getState(), 0);
    struct Step {
        int state;
        float bypass, mode;
        bool off, on, automatic;
    };
    for (const Step& s : {Step{1, 0, 0, false, true, false}, Step{2, 0, 1, false, false, true},
                          Step{0, 1, 1, true, false, false}}) {
        click(modeSwitch);
        EXPECT_EQ(modeSwitch->getState(), s.state);
        EXPECT_EQ(model.bypass.getValue(), s.bypass) << s.state;
        EXPECT_EQ(model.mode.getValue(), s.mode) << s.state;
        EXPECT_EQ(lit("OffLed"), s.off) << s.state;
        EXPECT_EQ(lit("OnLed"), s.on) << s.state;
        EXPECT_EQ(lit("AutoLed"), s.automatic) << s.state;
    }
    // Turned on by the footswitch with the auto mode stored: on, not auto.
    ASSERT_EQ(model.mode.getValue(), 1.0f);
    click(widget<GUI::Widget>(pedal, "BypassSwitch"));
    EXPECT_EQ(model.bypass.getValue(), 0.0f);
    EXPECT_EQ(modeSwitch->getState(), 1);
    EXPECT_EQ(model.mode.getValue(), 0.0f);
    EXPECT_TRUE(lit("OnLed"));
}

TEST_F(StompModuleTest, theEnvelopeFilterLampsShowTheBand)
{
    selector(0).setValue(7.0f, true);
    show();
    GUIp::StompBox* pedal = chain->getPedal(0);
    auto& model = dynamic_cast<Doc::StompEnvelopeFilter&>(*rig.getStompModule().getStomp(0));
    const char* lamps[] = {"HPLed", "BPLed", "LPLed"};
    for (int band : {0, 1, 2, 0}) {
        model.bandMode.setValue(static_cast<float>(band), true);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(widget<Widgets::CheckBox>(pedal, lamps[i])->isChecked(), i == band)
                << band << " " << lamps[i];
    }
    click(widget<GUI::Widget>(pedal, "BandModeSwitch"));
    EXPECT_EQ(model.bandMode.getValue(), 1.0f);
    EXPECT_TRUE(widget<Widgets::CheckBox>(pedal, "BPLed")->isChecked());
}

} // namespace
} // namespace test::panels
