#include "PanelFixture.h"

#include <vector>

#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/RadioButton.h"
#include "editor/widgets/StaticText.h"

namespace test::panels {
namespace {

const char* const kNavigator[] = {"TunerModuleRadioButton", "StompModuleRadioButton",
                                  "AmpModuleRadioButton", "CabModuleRadioButton"};

class UpperBarTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        build();
        open();
    }
    // The module whose navigator button is checked, 0 for none.
    int checkedModule()
    {
        int checked = 0;
        for (int i = 0; i < 4; ++i)
            if (widget<Widgets::RadioButton>(upper().getChainNavigator(), kNavigator[i])
                    ->isChecked())
                checked = checked ? -1 : i + 1;
        return checked;
    }
};

TEST_F(UpperBarTest, theNavigatorFollowsEverySwitchAndItsCurrentButtonFiresNothing)
{
    EXPECT_EQ(checkedModule(), 3) << "the start module";
    for (const char* arrow : {"ToCabRightButton", "ToTunerRightButton", "ToStompRightButton"}) {
        click(widget<GUI::Widget>(&lower(), arrow));
        EXPECT_EQ(checkedModule(), editor->getModule()) << arrow;
    }
    click(widget<GUI::Widget>(upper().getChainNavigator(), "AmpModuleRadioButton"));
    EXPECT_EQ(editor->getModule(), 3);

    std::vector<int> fired;
    boost::signals2::scoped_connection watch =
        editor->moduleChanged.connect([&](int id) { fired.push_back(id); });
    click(widget<GUI::Widget>(upper().getChainNavigator(), "AmpModuleRadioButton"));
    EXPECT_TRUE(fired.empty()) << "the module shown already";
    editor->showModule(0);
    EXPECT_EQ(checkedModule(), 3) << "no module keeps the last button";
}

TEST_F(UpperBarTest, bypassAndMuteActOnTheShownModule)
{
    auto* bypass = widget<Widgets::CheckBox>(upper().getBypassMute(), "BypassButton");
    auto* mute = widget<Widgets::CheckBox>(upper().getBypassMute(), "MuteButton");
    editor->showModule(4);
    const float cab = rig.getCabModule().bypass.getValue();
    click(bypass);
    EXPECT_NE(rig.getCabModule().bypass.getValue(), cab);
    click(mute);
    EXPECT_EQ(rig.getCabModule().mute.getValue(), 1.0f);

    editor->showModule(1);
    EXPECT_TRUE(bypass->isChecked()) << "shows the tuner's bypass, on at start";
    EXPECT_FALSE(mute->isChecked());
    click(bypass);
    EXPECT_EQ(rig.getTuner().bypass.getValue(), 0.0f);
    EXPECT_EQ(rig.getCabModule().bypass.getValue(), cab == 0.0f ? 1.0f : 0.0f) << "untouched";

    editor->showModule(0);
    const float tuner = rig.getTuner().bypass.getValue();
    click(bypass);
    EXPECT_EQ(rig.getTuner().bypass.getValue(), tuner) << "no module, no effect";
}

TEST_F(UpperBarTest, theAmpMenuSetsTheHeadAndTheLabelFollowsHostChanges)
{
    auto* selector = upper().getAmpSelector();
    auto* label = widget<Widgets::StaticText>(selector, "AmpModelLabel");
    auto* menu = widget<Widgets::Menu>(selector, "AmpMenu");
    EXPECT_EQ(label->getText(), "RKM-CL");
    ASSERT_EQ(menu->getItemCount(), 4);
    EXPECT_EQ(menu->getItem(3).text, "RKM-4 PRO");

    click(widget<GUI::Widget>(selector, "AmpModelButton"));
    EXPECT_TRUE(menu->isVisible());
    menu->selected(menu, 0);
    EXPECT_EQ(rig.getAmpModule().ampModel.getValue(), 0.0f);
    EXPECT_EQ(label->getText(), "GN-500");
    menu->selected(menu, 2);
    EXPECT_EQ(rig.getAmpModule().ampModel.getValue(), 2.0f);
    EXPECT_EQ(label->getText(), "RKM-CL");

    rig.getAmpModule().ampModel.setValue(1.0f, true); // automation or a preset
    EXPECT_EQ(label->getText(), "Q-9R");
}

} // namespace
} // namespace test::panels
