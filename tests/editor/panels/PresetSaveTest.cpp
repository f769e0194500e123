#include "tests/editor/panels/PresetFixture.h"

#include "editor/panels/FolderChooser.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/Menu.h"
#include "platform/window/Png.h"

namespace test::presets {
namespace {

namespace fs = std::filesystem;
using Zq::BorvanRAZ::GUI::FolderChooser;

class PresetSaveTest : public PresetFixture {
protected:
    PresetSave& openDialog()
    {
        click("SaveAsButton");
        PresetSave* dialog = panel->getSaveDialog();
        if (!dialog)
            throw std::runtime_error("no save dialog");
        return *dialog;
    }
    Widgets::EditText* nameField(PresetSave& dialog)
    {
        return widget<Widgets::EditText>(dialog, "PresetText");
    }
    std::string folderText(PresetSave& dialog)
    {
        return widget<Widgets::StaticText>(dialog, "FolderText")->getText();
    }
    // Replaces the name field's text by typing.
    void retype(PresetSave& dialog, const std::string& text)
    {
        click(nameField(dialog));
        backspaces(40);
        type(text);
    }
    // A click on the menu's item, as the user chooses it.
    void choose(Widgets::Menu* menu, int index)
    {
        const auto at = menu->absolutePosition();
        const auto& rect = menu->getItem(index).rect;
        const int x = at.x + rect.x + rect.width / 2;
        const int y = at.y + rect.y + rect.height / 2;
        native->mouseMove(x, y, 0);
        native->mouseDown(x, y, Graphics::LeftButton, Graphics::LeftButton);
        native->mouseUp(x, y, Graphics::LeftButton, 0);
        window->pump();
    }
    bool overwriteChecked(PresetSave& dialog)
    {
        return widget<Widgets::CheckBox>(dialog, "OverwriteCheckBox")->isChecked();
    }
};

TEST_F(PresetSaveTest, WithoutACurrentPresetItProposesThePresetFolderAndNoName)
{
    build();
    PresetSave& dialog = openDialog();
    EXPECT_EQ(dialog.getFolder(), presets);
    EXPECT_EQ(folderText(dialog), "Presets");
    EXPECT_EQ(nameField(dialog)->getText(), "");
    // The dialog lies over the whole editor, its box in the middle.
    auto* backdrop = widget(dialog, "PanelRoot");
    EXPECT_EQ(backdrop->getRect().width, kWidth);
    EXPECT_EQ(backdrop->getRect().height, kHeight);
    EXPECT_TRUE(backdrop->isTopMost());
    // A second Save As while it is open changes nothing.
    click(widget(*panel, "SaveAsButton"));
    EXPECT_EQ(panel->getSaveDialog(), &dialog);
    panel->getSaveDialog()->closed(panel->getSaveDialog(), false);
}

TEST_F(PresetSaveTest, TheNameIsTrimmedFilteredAndCutAndAnEmptyOneIsRefused)
{
    build();
    PresetSave& dialog = openDialog();
    retype(dialog, "   ");
    clickIn(dialog, "SaveButton");
    EXPECT_EQ(take(), "|Please, type a preset name|0");
    ASSERT_EQ(panel->getSaveDialog(), &dialog);

    retype(dialog, "a.b/c*d");
    EXPECT_EQ(nameField(dialog)->getText(), "abcd");
    retype(dialog, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(nameField(dialog)->getText(), "ABCDEFGHIJKLMNOPQRS");
    retype(dialog, "Slap  ");
    clickIn(dialog, "SaveButton");
    EXPECT_EQ(take(), "");
    EXPECT_TRUE(fs::is_regular_file(path("Slap.qomp")));
    EXPECT_EQ(shown(), "Slap");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), path("Slap.qomp"));
}

TEST_F(PresetSaveTest, TheOverwritePreferenceIsWrittenAtOpeningAndAgainAtClosing)
{
    build();
    bool present = true;
    overwriteSetting(present);
    ASSERT_FALSE(present);
    PresetSave& dialog = openDialog();
    EXPECT_EQ(overwriteSetting(present), 0);
    EXPECT_TRUE(present);
    EXPECT_FALSE(overwriteChecked(dialog));
    clickIn(dialog, "OverwriteCheckBox");
    EXPECT_TRUE(overwriteChecked(dialog));
    clickIn(dialog, "CancelButton");
    // Deleted once its own click is over: the window's pump ran that event.
    EXPECT_EQ(panel->getSaveDialog(), nullptr);
    EXPECT_EQ(overwriteSetting(present), 1);
    // Opened again, it shows the stored value.
    EXPECT_TRUE(overwriteChecked(openDialog()));
    clickIn(*panel->getSaveDialog(), "CloseButton");
    EXPECT_EQ(panel->getSaveDialog(), nullptr);
}

TEST_F(PresetSaveTest, AProposedNameWithDotsSavesUnderItsWholeNameAfterAsking)
{
    writePreset("F/My.Song.qomp");
    writePreset("F/My.qomp");
    build();
    click("DownButton");
    click("DownButton");
    ASSERT_EQ(shown(), "My.Song");
    const std::string other = readPreset("F/My.qomp");
    rig.getOutput().master.setValue(0.5f, true);

    PresetSave& dialog = openDialog();
    EXPECT_EQ(dialog.getFolder(), path("F"));
    EXPECT_EQ(folderText(dialog), "F");
    EXPECT_EQ(nameField(dialog)->getText(), "My.Song");
    // No first: the dialog stays as it was.
    answers = {false};
    clickIn(dialog, "SaveButton");
    EXPECT_EQ(take(), "|Are you sure you want to replace \"My.Song\"?|2");
    ASSERT_EQ(panel->getSaveDialog(), &dialog);
    answers = {true};
    clickIn(dialog, "SaveButton");
    EXPECT_EQ(take(), "|Are you sure you want to replace \"My.Song\"?|2");
    EXPECT_EQ(panel->getSaveDialog(), nullptr);
    EXPECT_EQ(readPreset("F/My.qomp"), other);
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), path("F/My.Song.qomp"));
    rig.getOutput().master.setValue(1.0f, true);
    ASSERT_TRUE(panel->getNavigator(Preset::kDocument).loadPath(path("F/My.Song.qomp")));
    EXPECT_FLOAT_EQ(rig.getOutput().master.getValue(), 0.5f);
}

TEST_F(PresetSaveTest, AFailedSaveKeepsTheDialogOpen)
{
    build();
    PresetSave& dialog = openDialog();
    retype(dialog, "Slap");
    // A folder where the file should go: the rename cannot replace it.
    temp.makeFolder("Presets/Slap.qomp/inside");
    platform::writeRegistryNumber("BorvanQom", "Overwrite Preset", 1);
    clickIn(dialog, "OverwriteCheckBox");
    clickIn(dialog, "SaveButton");
    EXPECT_EQ(take(), "File error|Can't save preset|0");
    EXPECT_EQ(panel->getSaveDialog(), &dialog);
    EXPECT_EQ(shown(), "Click to load a preset");
    EXPECT_EQ(currentName(), "");
    retype(dialog, "Slap2");
    clickIn(dialog, "SaveButton");
    EXPECT_EQ(panel->getSaveDialog(), nullptr);
    EXPECT_EQ(shown(), "Slap2");
}

TEST_F(PresetSaveTest, TheChooserMovesTheFolderToAPickedSubFolderAndCancelChangesNothing)
{
    temp.makeFolder("Presets/Live");
    temp.makeFolder("Presets/Studio");
    build();
    PresetSave& dialog = openDialog();

    clickIn(dialog, "FolderButton");
    FolderChooser* chooser = dialog.getChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->getFolder(), presets);
    EXPECT_EQ(chooser->getSubFolders(), (std::vector<std::string>{"Live", "Studio"}));
    clickIn(*chooser, "FolderMenuButton");
    Widgets::Menu* menu = chooser->getMenu();
    ASSERT_TRUE(menu->isVisible());
    choose(menu, 1);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(chooser->getFolder(), path("Studio"));
    EXPECT_EQ(widget<Widgets::StaticText>(*chooser, "FolderText")->getText(), path("Studio"));
    clickIn(*chooser, "CancelButton");
    EXPECT_EQ(dialog.getChooser(), nullptr);
    EXPECT_EQ(dialog.getFolder(), presets);
    EXPECT_EQ(folderText(dialog), "Presets");

    clickIn(dialog, "FolderButton");
    chooser = dialog.getChooser();
    ASSERT_NE(chooser, nullptr);
    clickIn(*chooser, "UpButton");
    EXPECT_EQ(chooser->getFolder(), temp.root().string());
    clickIn(*chooser, "FolderMenuButton");
    menu = chooser->getMenu();
    choose(menu, 0); // "Presets"
    clickIn(*chooser, "FolderMenuButton");
    choose(menu, 0); // "Live"
    clickIn(*chooser, "OKButton");
    EXPECT_EQ(dialog.getChooser(), nullptr);
    EXPECT_EQ(dialog.getFolder(), path("Live"));
    EXPECT_EQ(folderText(dialog), "Live");
    retype(dialog, "Gig");
    clickIn(dialog, "SaveButton");
    EXPECT_TRUE(fs::is_regular_file(path("Live/Gig.qomp")));
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), path("Live/Gig.qomp"));
}

// Screens to look at: the preset bar with its menu open, the save dialog and
// the chooser over the editor. Written to $RIG_SCREENSHOT_DIR when set.
TEST_F(PresetSaveTest, ScreensRenderWithTheBuiltSkin)
{
    writePreset("F/Fingerstyle.qomp");
    writePreset("F/My.Song.qomp");
    writePreset("Slap.qomp");
    temp.makeFolder("Presets/Live");
    build();
    click("DownButton");
    const char* folder = std::getenv("RIG_SCREENSHOT_DIR");
    const auto shot = [&](const std::string& name) {
        window->invalidate({0, 0, kWidth, kHeight});
        window->pump();
        if (folder) {
            EXPECT_TRUE(native->writePng(std::string(folder) + "/" + name + ".png"));
        }
    };
    // The name is drawn in the display: some pixel of the text's colour.
    window->invalidate({0, 0, kWidth, kHeight});
    window->pump();
    bool amber = false;
    for (int y = 22; y < 42; ++y)
        for (int x = 24; x < 230; ++x)
            amber = amber || ((native->screen()[y * kWidth + x] >> 16) & 0xFF) > 0xC0;
    EXPECT_TRUE(amber);
    shot("preset-bar");
    click("PresetMenuButton");
    shot("preset-menu");
    click(root.get());
    PresetSave& dialog = openDialog();
    shot("preset-save");
    clickIn(dialog, "FolderButton");
    clickIn(*dialog.getChooser(), "FolderMenuButton");
    shot("folder-chooser");
}

} // namespace
} // namespace test::presets
