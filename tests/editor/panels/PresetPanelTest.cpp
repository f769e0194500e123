#include "tests/editor/panels/PresetFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/widgets/Menu.h"
#include "editor/widgets/StaticText.h"

namespace test::presets {
namespace {

namespace fs = std::filesystem;
using Widgets::Menu;

// Every item of a menu and its sub-menus as "text#id" with "*" when checked,
// sub-menus in brackets.
std::string describe(const Menu& menu)
{
    std::string out;
    for (int i = 0; i < menu.getItemCount(); ++i) {
        const auto& item = menu.getItem(i);
        out +=
            (i ? " " : "") + item.text + "#" + std::to_string(item.id) + (item.checked ? "*" : "");
        if (item.subMenu)
            out += "[" + describe(*item.subMenu) + "]";
    }
    return out;
}

// The position of the item with that text in the menu.
int itemIndex(const Menu& menu, const std::string& text)
{
    for (int i = 0; i < menu.getItemCount(); ++i)
        if (menu.getItem(i).text == text)
            return i;
    return -1;
}

using PresetPanelTest = PresetFixture;

TEST_F(PresetPanelTest, DownStepsThroughTheTreeInMenuOrderAndStopsAtEitherEnd)
{
    writePreset("C.qomp");
    writePreset("F/B.qomp");
    writePreset("F/A.qomp");
    build();
    EXPECT_EQ(shown(), "Click to load a preset");
    click("UpButton");
    EXPECT_EQ(shown(), "Click to load a preset");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getIndex(), -1);
    for (const char* expected : {"A", "B", "C", "C"}) {
        click("DownButton");
        EXPECT_EQ(shown(), expected);
        EXPECT_EQ(currentName(), expected);
    }
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), path("C.qomp"));
    click("UpButton");
    EXPECT_EQ(shown(), "B");
    EXPECT_TRUE(take().empty());
}

TEST_F(PresetPanelTest, TheMenuCarriesListPositionsAndChecksTheCurrentPresetAndItsFolders)
{
    writePreset("C.qomp");
    writePreset("F/A.qomp");
    writePreset("F/B.qomp");
    // A state chunk saved as a preset: its own "PresetName" does not count.
    rig.setPresetName("Other");
    temp.write("Presets/F/B.qomp", rig.saveChunk());
    ASSERT_NE(temp.read("Presets/F/B.qomp").find("PresetName=\"Other\""), std::string::npos);
    temp.makeFolder("Presets/Empty");
    build();
    click("DownButton");
    click("DownButton");
    ASSERT_EQ(shown(), "B");
    click("PresetMenuButton");
    Menu* menu = panel->getMenu();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(describe(*menu), "Empty#0[] F#1*[A#2 B#3*] C#4");

    // Choosing C loads it and shows the file's stem.
    menu->selected(menu, itemIndex(*menu, "C"));
    EXPECT_EQ(shown(), "C");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getIndex(), 4);
    // The sub-menu's choices reach the same handler.
    Menu* folder = menu->getItem(itemIndex(*menu, "F")).subMenu;
    folder->selected(folder, itemIndex(*folder, "B"));
    EXPECT_EQ(shown(), "B");
    EXPECT_EQ(currentName(), "B");
    // A preset that vanished since the menu was built: nothing happens.
    fs::remove(path("F/A.qomp"));
    folder->selected(folder, itemIndex(*folder, "A"));
    EXPECT_EQ(shown(), "B");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), path("F/B.qomp"));
    EXPECT_TRUE(take().empty());
}

TEST_F(PresetPanelTest, ALoadedPresetGivesBackTheSavedStateAndBadFilesChangeNothing)
{
    writePreset("A.qomp");
    temp.write("Presets/B.qomp", "this is no preset");
    temp.write("Presets/C.qomp", "<?xml version=\"1.0\" ?><!-- no root -->");
    writePreset("D.qomp");
    build();
    click("DownButton");
    ASSERT_EQ(shown(), "A");
    // Saved through the panel's own save.
    platform::writeRegistryNumber("BorvanQom", "Overwrite Preset", 1);
    rig.getOutput().master.setValue(0.25f, true);
    rig.getStompModule().stomps[2].setValue(3.0f, true);
    click("SaveButton");
    const std::string saved = rig.saveChunk();

    rig.getOutput().master.setValue(0.75f, true);
    rig.getStompModule().stomps[2].setValue(1.0f, true);
    rig.getStompModule().stomps[4].setValue(2.0f, true);
    const std::string changed = rig.saveChunk();
    ASSERT_NE(changed, saved);
    // Next stops at the file that is no preset, and so does the one after.
    click("DownButton");
    click("DownButton");
    EXPECT_EQ(shown(), "A");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getIndex(), 0);
    EXPECT_EQ(rig.saveChunk(), changed);
    // The menu's choice of either, and a FIFO of a preset's name, neither.
    ASSERT_EQ(::mkfifo(path("Pipe.qomp").c_str(), 0644), 0);
    auto& navigator = panel->getNavigator(Preset::kDocument);
    for (const std::string& bad : {path("B.qomp"), path("C.qomp"), path("Pipe.qomp")}) {
        EXPECT_FALSE(navigator.loadPath(bad)) << bad;
        EXPECT_EQ(shown(), "A");
        EXPECT_EQ(currentName(), "A");
        EXPECT_EQ(navigator.getPath(), path("A.qomp"));
        EXPECT_EQ(rig.saveChunk(), changed);
    }
    click("PresetMenuButton");
    Menu* menu = panel->getMenu();
    EXPECT_EQ(describe(*menu), "A#0* B#1 C#2 D#3");
    menu->selected(menu, 0);
    EXPECT_EQ(rig.saveChunk(), saved);
    EXPECT_TRUE(take().empty());
}

TEST_F(PresetPanelTest, SavingOverAPresetAsksUnlessOverwritingIsOnAndNoKeepsTheFile)
{
    writePreset("Slap.qomp");
    build();
    click("DownButton");
    const std::string before = readPreset("Slap.qomp");
    rig.getOutput().master.setValue(0.5f, true);

    // "Overwrite Preset" missing counts as 0.
    answers = {false};
    click("SaveButton");
    EXPECT_EQ(take(), "|Are you sure you want to replace \"Slap\"?|2");
    EXPECT_EQ(readPreset("Slap.qomp"), before);

    platform::writeRegistryNumber("BorvanQom", "Overwrite Preset", 0);
    answers = {true};
    click("SaveButton");
    EXPECT_EQ(take(), "|Are you sure you want to replace \"Slap\"?|2");
    const std::string after = readPreset("Slap.qomp");
    EXPECT_NE(after, before);

    platform::writeRegistryNumber("BorvanQom", "Overwrite Preset", 1);
    rig.getOutput().master.setValue(0.125f, true);
    click("SaveButton");
    EXPECT_EQ(take(), "");
    EXPECT_NE(readPreset("Slap.qomp"), after);
    EXPECT_EQ(shown(), "Slap");
}

// A save that cannot be written says so, keeps the old file whole, keeps the
// shown name and the position, and leaves no temporary file.
TEST_F(PresetPanelTest, AFailedSaveKeepsTheOldFileAndThePosition)
{
    writePreset("A.qomp");
    writePreset("Slap.qomp");
    build();
    click("DownButton");
    click("DownButton");
    ASSERT_EQ(shown(), "Slap");
    platform::writeRegistryNumber("BorvanQom", "Overwrite Preset", 1);
    rig.getOutput().master.setValue(0.5f, true);
    const std::string before = readPreset("Slap.qomp");

    const bool root = ::geteuid() == 0;
    for (const char* how : {"read-only folder", "full disk"}) {
        if (std::string(how) == "read-only folder" && root)
            continue; // root writes anywhere
        {
            std::optional<testsupport::FileSizeLimit> full;
            if (std::string(how) == "full disk")
                full.emplace(16);
            else
                fs::permissions(presets, fs::perms::owner_read | fs::perms::owner_exec);
            click("SaveButton");
            fs::permissions(presets, fs::perms::owner_all);
        }
        EXPECT_EQ(take(), "File error|Can't save preset|0") << how;
        EXPECT_EQ(readPreset("Slap.qomp"), before) << how;
        EXPECT_EQ(shown(), "Slap");
        EXPECT_EQ(currentName(), "Slap");
        EXPECT_EQ(panel->getNavigator(Preset::kDocument).getIndex(), 1);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(presets))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"A.qomp", "Slap.qomp"})) << how;
    }
}

TEST_F(PresetPanelTest, DeleteRemovesTheFileKeepsTheNameAndTheNextMenuLacksIt)
{
    writePreset("A.qomp");
    writePreset("B.qomp");
    build();
    click("DownButton");
    click("DeleteButton");
    EXPECT_FALSE(fs::exists(path("A.qomp")));
    EXPECT_EQ(shown(), "A");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), path("A.qomp"));
    click("PresetMenuButton");
    EXPECT_EQ(describe(*panel->getMenu()), "B#0");
    click(root.get()); // a click outside closes the menu
    EXPECT_FALSE(panel->getMenu()->isVisible());
    // Next from a position no longer listed starts at the top.
    click("DownButton");
    EXPECT_EQ(shown(), "B");
}

TEST_F(PresetPanelTest, WithoutPresetPathOneRegistryErrorAnEmptyMenuAndNothingCreated)
{
    hasPresetPath = false;
    const fs::path working = fs::current_path();
    fs::current_path(temp.root());
    build();
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(take(), "Registry error|Please ensure this product has been installed properly|0");
    click("PresetMenuButton");
    EXPECT_EQ(panel->getMenu()->getItemCount(), 0);
    click("DownButton");
    click("PresetFolderButton");
    fs::current_path(working);
    EXPECT_EQ(shown(), "Click to load a preset");
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.root()), fs::directory_iterator()), 0);
}

TEST_F(PresetPanelTest, ADeletedPresetFolderIsCreatedAgainWithAnEmptyMenu)
{
    writePreset("A.qomp");
    build();
    fs::remove_all(presets);
    click("PresetMenuButton");
    EXPECT_TRUE(fs::is_directory(presets));
    EXPECT_EQ(panel->getMenu()->getItemCount(), 0);
}

TEST_F(PresetPanelTest, AStateLoadedFromOutsideReplacesTheNameAndClearsThePosition)
{
    writePreset("A.qomp");
    build();
    click("DownButton");
    rig.loadChunk(rig.saveChunk().c_str(), 100000);
    rig.setPresetName("From the host");
    EXPECT_EQ(shown(), "From the host");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getPath(), "");
    EXPECT_EQ(panel->getNavigator(Preset::kDocument).getIndex(), -1);
}

TEST_F(PresetPanelTest, TheFolderButtonHandsThePresetFolderToXdgOpen)
{
    // The stub writes its argument into a FIFO the test reads: the read
    // waits for the stub itself, not for a clock.
    const std::string record = temp.path("record");
    ASSERT_EQ(::mkfifo(record.c_str(), 0644), 0);
    temp.write("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" > '" + record + "'\n");
    fs::permissions(temp.path("bin/xdg-open"), fs::perms::owner_all);
    const int fd = ::open(record.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    build();
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (temp.path("bin") + ":/usr/bin:/bin").c_str(), 1);
    click("PresetFolderButton");
    ::setenv("PATH", oldPath.c_str(), 1);
    std::string got;
    pollfd wait{fd, POLLIN, 0};
    while (::poll(&wait, 1, 20000) > 0) {
        char chunk[256];
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        got.append(chunk, static_cast<std::size_t>(n));
        if (got.back() == '\n')
            break;
    }
    ::close(fd);
    EXPECT_EQ(got, presets + "\n");
    EXPECT_TRUE(take().empty());
}

TEST_F(PresetPanelTest, TheModuleNavigatorsAreBuiltAndResetWithTheDocuments)
{
    writePreset("A.qomp");
    build();
    for (int which : {Preset::kStomp, Preset::kAmp, Preset::kCab}) {
        auto& navigator = panel->getNavigator(which);
        EXPECT_EQ(navigator.getList(), std::vector<std::string>{path("A.qomp")});
        ASSERT_TRUE(navigator.loadPath(path("A.qomp")));
        EXPECT_EQ(navigator.getName(), "A");
    }
    // A module's load leaves the document's name alone.
    EXPECT_EQ(shown(), "Click to load a preset");
    click("DownButton");
    for (int which : {Preset::kStomp, Preset::kAmp, Preset::kCab}) {
        EXPECT_EQ(panel->getNavigator(which).getPath(), "");
        EXPECT_EQ(panel->getNavigator(which).getIndex(), -1);
    }
}

} // namespace
} // namespace test::presets
