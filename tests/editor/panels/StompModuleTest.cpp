#include "PanelFixture.h"

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "editor/panels/StompModels.h"
#include "editor/panels/StompModule.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/Menu.h"
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
    static const std::vector<Pedal> pedals = {
        {1, "Borvan DLK-OD",
         [](GUIp::StompBox* p) { return dynamic_cast<GUIp::StompOverdrive*>(p) != nullptr; }}};
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
    for (const Binding& b : {Binding{"TextureKnob", &model.texture},
                             Binding{"BalanceKnob", &model.balance}}) {
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

} // namespace
} // namespace test::panels
