#include <gtest/gtest.h>

#include "tests/hostfw/win/WinTestSupport.h"

#include "hostfw/controls/epiControlKinds.h"
#include "hostfw/controls/epiFileDialog.h"
#include "hostfw/res/epiResources.h"
#include "platform/EventPump.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/window/Png.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

// A headless application with the program's pack and the dialog installed,
// over a folder holding "a.wav" and "sub/" with "b.wav" and "deeper/".
struct FileDialogTest : ::testing::Test {
    FileDialogTest()
    {
        epiRegisterControlKinds();
        app.getResources()->openEmbedded(0, nullptr);
        previous = setFileDialogPresenter(nullptr);
        epiFileDialog::install(app);
        temp.write("a.wav", "a");
        temp.write("sub/b.wav", "b");
        temp.write(".hidden", "h");
        std::filesystem::create_directories(temp.path("sub/deeper"));
        root = temp.path();
    }
    ~FileDialogTest() override
    {
        epiFileDialog::setOpenedHook(nullptr);
        setFileDialogPresenter(previous);
    }
    // What the test does once the dialog shows; the dialog's loop then
    // takes the events it queued.
    void whenShown(std::function<void(epiFileDialog&)> act)
    {
        epiFileDialog::setOpenedHook([this, act](epiFileDialog& dialog) {
            ++shown;
            act(dialog);
        });
    }
    void type(epiFileDialog& dialog, const std::string& text)
    {
        for (char c : text)
            app.headless.key(*dialog.hostWindow(), 40, static_cast<unsigned char>(c),
                             static_cast<unsigned char>(c));
    }
    void click(epiFileDialog& dialog, int x, int y)
    {
        app.headless.press(*dialog.hostWindow(), x, y);
        app.headless.release(*dialog.hostWindow(), x, y);
    }

    test::win::WinApp app;
    testsupport::TempFolder temp;
    epiFileDialogPresenter previous;
    std::string root;
    int shown = 0;
};

TEST_F(FileDialogTest, TypingAPathAndReturnAnswersTrueWithThatPath)
{
    const std::string typed = root + "sub/new take.wav";
    whenShown([&](epiFileDialog& dialog) {
        EXPECT_EQ(dialog.folder().str(), root);
        EXPECT_STREQ(dialog.getChildTextCStr(epiCode("path")), "a.wav");
        // The name is selected: typing replaces it.
        type(dialog, typed);
        app.headless.key(*dialog.hostWindow(), 36, 0xff0d, 13);
    });
    epiPath path(root + "a.wav");
    EXPECT_TRUE(path.askOpenFile());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(path.str(), typed);
}

TEST_F(FileDialogTest, CancelAndEscapeAnswerFalseAndKeepThePath)
{
    whenShown([&](epiFileDialog& dialog) {
        type(dialog, "other.wav");
        click(dialog, 370, 280);
    });
    epiPath path(root + "a.wav");
    EXPECT_FALSE(path.askOpenFile());
    EXPECT_EQ(path.str(), root + "a.wav");
    whenShown([&](epiFileDialog& dialog) {
        type(dialog, "other.wav");
        app.headless.key(*dialog.hostWindow(), 9, 0xff1b, 27);
    });
    EXPECT_FALSE(path.askSaveFile());
    EXPECT_EQ(path.str(), root + "a.wav");
    EXPECT_EQ(shown, 2);
}

TEST_F(FileDialogTest, FoldersAndDotDotNavigateAndAFileIsChosenInTheList)
{
    whenShown([&](epiFileDialog& dialog) {
        auto& native = static_cast<platform::ui::HeadlessWindow&>(*dialog.hostWindow());
        EXPECT_TRUE(platform::window::writePng(testing::TempDir() + "file-dialog.png",
                                               native.screen().data(), dialog.getWidth(),
                                               dialog.getHeight()));
        EXPECT_STREQ(native.options().title.c_str(), "Save As");
        // The save dialog starts in the path's folder, with its name.
        EXPECT_EQ(dialog.folder().str(), root + "sub/");
        EXPECT_STREQ(dialog.getChildTextCStr(epiCode("path")), "b.wav");
        dialog.openEntry(0);
        EXPECT_EQ(dialog.entries(), (Rows{"..", "sub/", "a.wav"}));
        dialog.openEntry(1);
        EXPECT_EQ(dialog.folder().str(), root + "sub/");
        EXPECT_EQ(dialog.entries(), (Rows{"..", "deeper/", "b.wav"}));
        dialog.openEntry(0);
        EXPECT_EQ(dialog.folder().str(), root);
        // A press selects "a.wav" (the third row), a second press opens it.
        click(dialog, 30, 28 + 2 + 2 * 16 + 8);
        click(dialog, 30, 28 + 2 + 2 * 16 + 8);
    });
    epiPath path(root + "sub/b.wav");
    EXPECT_TRUE(path.askSaveFile());
    EXPECT_EQ(path.str(), root + "a.wav");
}

TEST_F(FileDialogTest, AFolderThatCannotBeReadShowsNoEntries)
{
    whenShown([&](epiFileDialog& dialog) {
        dialog.showFolder(epiPath(root + "missing/"));
        EXPECT_EQ(dialog.entries(), Rows{".."});
        dialog.showFolder(epiPath(root + "a.wav"));
        EXPECT_EQ(dialog.entries(), Rows{".."});
        // A folder typed into the field opens rather than answers.
        type(dialog, root + "sub");
        app.headless.key(*dialog.hostWindow(), 36, 0xff0d, 13);
        app.headless.key(*dialog.hostWindow(), 9, 0xff1b, 27);
    });
    epiPath path("take.wav");
    EXPECT_FALSE(path.askOpenFile());
    EXPECT_EQ(path.str(), "take.wav");
}

} // namespace
