#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

#include "hostfw/app/epiMenu.h"
#include "hostfw/controls/epiMenuBar.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/hostfw/controls/MenuDocument.h"

#include <string>

namespace pui = platform::ui;

namespace {

using testmenus::kMenuDocument;

// A window with a menu bar, made after the menu document was read.
struct MenuBarTest : ::testing::Test {
    MenuBarTest()
    {
        epiRegisterControlKinds();
        EXPECT_TRUE(app.getMenu()->buildFromText(epiText(kMenuDocument)));
        window = new test::win::LogWindow;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        window->setAttribute(epiCode("mBar"), 1);
        window->setRect(epiRect(100, 100, 500, 400));
        window->openAs(&app, epiCode("main"));
        app.settle();
        bar = dynamic_cast<epiMenuBar*>(window->strip());
    }
    ~MenuBarTest() override
    {
        if (bar)
            bar->popupList().close();
    }
    pui::HeadlessWindow& native()
    {
        return static_cast<pui::HeadlessWindow&>(*window->hostWindow());
    }

    test::win::WinApp app;
    test::win::LogWindow* window = nullptr;
    epiMenuBar* bar = nullptr;
};

TEST_F(MenuBarTest, AClickOnTheStripOpensTheDropDownAndAnItemRoutesItsCommand)
{
    ASSERT_TRUE(bar);
    ASSERT_FALSE(native().strip().empty());
    // The label "Help" is drawn where its place is.
    const epiRect help = bar->labelRect(1);
    EXPECT_GT(help.left, 0);
    const auto& strip = native().strip();
    bool inked = false;
    for (int x = help.left; x < help.right; ++x)
        inked = inked || (strip[10 * 400 + x] & 0xFF) < 0x80;
    EXPECT_TRUE(inked);

    app.headless.press(native(), 10, -10);
    app.settle();
    ASSERT_EQ(bar->openIndex(), 0);
    const auto& rows = bar->popupList().items();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].label, "Audio and MIDI Setup...");
    EXPECT_EQ(rows[1].label, "Tempo...\tCtrl+T");
    EXPECT_TRUE(rows[2].separator);
    EXPECT_EQ(rows[3].label, "Quit\tCtrl+Q");
    epiUiEventsBase* list = bar->popupList().window(0);
    ASSERT_TRUE(list);
    // Below the label, at the client area's top.
    EXPECT_EQ(list->getFrame().top, 100);
    EXPECT_EQ(list->getFrame().left, 100);
    app.headless.press(*list->hostWindow(), 20, 2 + 20 + 10);
    app.settle();
    EXPECT_FALSE(bar->popupList().isOpen());
    EXPECT_EQ(bar->openIndex(), -1);
    ASSERT_EQ(window->commands.size(), 1u);
    EXPECT_EQ(window->commands[0], epiCode("bpst"));
}

TEST_F(MenuBarTest, ControlQRoutesQuitWithoutOpeningADropDown)
{
    ASSERT_TRUE(bar);
    app.headless.key(native(), 24, 'q', 17, platform::kModControl);
    app.settle();
    EXPECT_FALSE(bar->popupList().isOpen());
    ASSERT_EQ(window->commands.size(), 1u);
    EXPECT_EQ(window->commands[0], epiCode("quit"));
}

TEST_F(MenuBarTest, ClosingTheWindowClosesItsOpenDropDown)
{
    ASSERT_TRUE(bar);
    ASSERT_TRUE(bar->openMenu(1));
    EXPECT_NE(epiPopupList::current(), nullptr);
    window->close();
    bar = nullptr; // went with the window's strip
    app.settle();
    EXPECT_EQ(epiPopupList::current(), nullptr);
    // Closed, the window is no longer the window manager's to release.
    window->exit();
}

TEST_F(MenuBarTest, APressOnAnotherLabelSwitchesMenusAndOnTheOpenOneClosesIt)
{
    ASSERT_TRUE(bar);
    app.headless.press(native(), 10, -10);
    app.settle();
    ASSERT_EQ(bar->openIndex(), 0);
    const epiRect help = bar->labelRect(1);
    app.headless.release(native(), 10, -10);
    app.headless.press(native(), help.centreX(), -10);
    app.settle();
    EXPECT_EQ(bar->openIndex(), 1);
    ASSERT_EQ(bar->popupList().items().size(), 1u);
    EXPECT_EQ(bar->popupList().items()[0].label, "About");
    app.headless.release(native(), help.centreX(), -10);
    app.headless.press(native(), help.centreX(), -10);
    app.settle();
    EXPECT_EQ(bar->openIndex(), -1);
    EXPECT_FALSE(bar->popupList().isOpen());
    EXPECT_TRUE(window->commands.empty());
}

TEST_F(MenuBarTest, APressBesideTheLabelsOpensNothing)
{
    ASSERT_TRUE(bar);
    app.headless.press(native(), 390, -10);
    app.settle();
    EXPECT_FALSE(bar->popupList().isOpen());
    EXPECT_TRUE(window->commands.empty());
}

} // namespace
