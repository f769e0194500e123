#include "tests/hostfw/win/WinTestSupport.h"

#include "hostfw/widgets/epiUiPopupMenu.h"
#include "platform/EventPump.h"

#include <gtest/gtest.h>

namespace pui = platform::ui;
using test::win::addChild;
using test::win::LogWindow;
using test::win::WinApp;

namespace {

// A pop-up menu at (20, 20) of a window at (100, 100).
struct PopupMenuTest : ::testing::Test {
    PopupMenuTest()
    {
        window = new LogWindow;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        window->setRect(epiRect(100, 100, 400, 300));
        window->openAs(&app, epiCode("test"));
        menu = addChild(*window, new epiUiPopupMenu, epiRect(20, 20, 120, 40), epiCode("menu"));
        menu->setAttributeText(epiCode("cont"), epiText("Low\nMid\nHigh"));
        app.settle();
    }
    pui::HeadlessWindow& native()
    {
        return static_cast<pui::HeadlessWindow&>(*window->hostWindow());
    }

    WinApp app;
    LogWindow* window = nullptr;
    epiUiPopupMenu* menu = nullptr;
};

TEST_F(PopupMenuTest, APressShowsTheLinesAtThePointerAndADragAndReleaseChoose)
{
    EXPECT_EQ(menu->getValue(), -1);
    app.headless.press(native(), 30, 25);
    app.settle();
    epiPopupList& list = menu->popupList();
    ASSERT_TRUE(list.isOpen());
    ASSERT_EQ(list.items().size(), 3u);
    EXPECT_EQ(list.items()[2].label, "High");
    // At the pointer, on the screen.
    EXPECT_EQ(list.window(0)->getFrame().left, 130);
    EXPECT_EQ(list.window(0)->getFrame().top, 125);
    // Down to the third row with the button held, released there.
    const int y = 25 + 2 + 2 * epiPopupList::kRowHeight + 10;
    app.headless.motion(native(), 40, y, platform::kButton1Mask);
    app.settle();
    app.headless.release(native(), 40, y);
    app.settle();
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(menu->getValue(), 2);
    ASSERT_FALSE(window->commands.empty());
    EXPECT_EQ(window->commands.front(), epiCode("menu"));

    // The next opening marks the choice; Up and Return pick the row above.
    app.headless.press(native(), 30, 25);
    app.headless.release(native(), 30, 25);
    app.settle();
    ASSERT_TRUE(list.isOpen());
    EXPECT_EQ(list.marked(0), 2);
    app.headless.key(native(), 40, platform::kKeyUp, 0);
    app.headless.key(native(), 41, 0xff0d, 13);
    app.settle();
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(menu->getValue(), 1);

    // Values out of range are ignored.
    menu->setValue(7);
    EXPECT_EQ(menu->getValue(), 1);
}

} // namespace
