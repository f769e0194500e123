#include "PanelFixture.h"

#include "editor/panels/Info.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/MultiStateButton.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/DsmActivePreference.h"

namespace test::panels {
namespace {

using Zq::BorvanRAZ::GUI::versionText;

TEST(VersionText, theBuildTagComesFromTheCompilersDate)
{
    EXPECT_EQ(versionText("Jun 24 2009"), "1.1.3 build 9F24");
    EXPECT_EQ(versionText("Jun  4 2009"), "1.1.3 build 9F 4");
    EXPECT_EQ(versionText("Dec 31 2010"), "1.1.3 build 0L31");
    EXPECT_EQ(versionText("Jan  1 2011"), "1.1.3 build 1A 1");
}

class DialogsTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        build("Jun  4 2009");
        open();
        buttons = lower().getMiscButtons();
    }

    Zq::BorvanRAZ::GUI::MiscButtons* buttons = nullptr;
};

TEST_F(DialogsTest, theInformationPagesTurnAndTheThirdClickClosesThem)
{
    auto* iButton = widget<Widgets::PushButton>(buttons, "IButton");
    click(iButton);
    auto* info = buttons->getInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(widget<Widgets::StaticText>(info, "VersionText")->getText(), "1.1.3 build 9F 4");
    auto* pages = widget<Widgets::MultiStateButton>(info, "PanelRoot");
    ASSERT_EQ(pages->getStateCount(), 3);

    click(iButton); // under the backdrop: the click lands on the information panel
    iButton->clicked(iButton, {0, 0}); // and even a click that reaches it
    EXPECT_EQ(buttons->getInfo(), info) << "one information panel at a time";

    auto* turn = widget<GUI::Widget>(info, "Button");
    click(turn);
    EXPECT_EQ(pages->getState(), 1);
    click(turn);
    EXPECT_EQ(pages->getState(), 2);
    click(turn);
    EXPECT_EQ(buttons->getInfo(), nullptr) << "closed on the third click";
    EXPECT_EQ(editor->pendingCount(), 0u);
    click(iButton);
    EXPECT_NE(buttons->getInfo(), nullptr) << "opens again";
}

TEST_F(DialogsTest, preferencesStoreOnlyOnSaveAndReopenWithTheStoredValue)
{
    Zq::BorvanRAZ::Document::createDsmActivePreference();
    auto* preference = Zq::BorvanRAZ::Document::findDsmActivePreference();
    ASSERT_EQ(preference->current(), 1);
    auto* prefButton = widget<GUI::Widget>(buttons, "PrefButton");

    click(prefButton);
    auto* box = widget<Widgets::CheckBox>(buttons->getPreferences(), "DSMActiveCheckBox");
    EXPECT_TRUE(box->isChecked());
    click(box);
    click(widget<GUI::Widget>(buttons->getPreferences(), "CancelButton"));
    EXPECT_EQ(buttons->getPreferences(), nullptr);
    EXPECT_EQ(preference->current(), 1) << "cancel keeps the stored value";

    click(prefButton);
    box = widget<Widgets::CheckBox>(buttons->getPreferences(), "DSMActiveCheckBox");
    EXPECT_TRUE(box->isChecked()) << "the stored value, not the last unsaved state";
    click(box);
    click(widget<GUI::Widget>(buttons->getPreferences(), "SaveButton"));
    EXPECT_EQ(preference->current(), 0);

    click(prefButton);
    EXPECT_FALSE(
        widget<Widgets::CheckBox>(buttons->getPreferences(), "DSMActiveCheckBox")->isChecked());
    click(widget<GUI::Widget>(buttons->getPreferences(), "CloseButton"));
    EXPECT_EQ(buttons->getPreferences(), nullptr);
    Zq::BorvanRAZ::Document::releaseDsmActivePreference();
}

} // namespace
} // namespace test::panels
