#include "WinTestSupport.h"

#include "hostfw/win/epiPopupList.h"
#include "platform/EventPump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pui = platform::ui;
using test::win::addChild;
using test::win::LogWindow;
using test::win::PaintChild;
using test::win::WinApp;

namespace {

epiPopupListItem row(const char* label, int id, std::vector<epiPopupListItem> sub = {})
{
    epiPopupListItem item;
    item.label = label;
    item.id = id;
    item.subItems = std::move(sub);
    return item;
}

// A window at (100, 100) with a child at (10, 10) that owns a list of
// "Open", a separator, a disabled "Gone", "Recent" with two rows, "Quit".
struct PopupListTest : ::testing::Test {
    PopupListTest()
    {
        window = new LogWindow;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        window->setRect(epiRect(100, 100, 500, 400));
        window->openAs(&app, epiCode("test"));
        owner = addChild(*window, new PaintChild, epiRect(10, 10, 110, 40));
        epiPopupListItem gone = row("Gone", 3);
        gone.enabled = false;
        list.setItems({row("Open\tCtrl+O", 1), epiPopupListItem::makeSeparator(), gone,
                       row("Recent", 4, {row("one.wav", 41), row("two.wav", 42)}), row("Quit", 5)});
        list.onChosen([this](const epiPopupList::Choice& choice) {
            chosen.push_back(choice.id);
            paths.push_back(choice.path);
        });
        list.onClosed([this] { ++closings; });
        app.settle();
    }
    ~PopupListTest() override { list.close(); }

    pui::HeadlessWindow& native(epiUiEventsBase* of)
    {
        return static_cast<pui::HeadlessWindow&>(*of->hostWindow());
    }
    // The screen point in the middle of a row of an open level.
    epiPoint rowPoint(int level, int index)
    {
        const epiRect frame = list.window(level)->getFrame();
        int y = 2;
        const auto& items = level == 0 ? list.items() : list.items()[3].subItems;
        for (int i = 0; i < index; ++i)
            y += items[static_cast<std::size_t>(i)].separator ? epiPopupList::kSeparatorHeight
                                                              : epiPopupList::kRowHeight;
        return {frame.left + 10, frame.top + y + 8};
    }
    // Pointer reports to a list level's window at a screen point.
    void onList(int level, pui::PointerAction action, const epiPoint& screen)
    {
        epiUiEventsBase* at = list.window(level);
        at->pointer(action, screen.x - at->getFrame().left, screen.y - at->getFrame().top, 0);
        app.settle();
    }
    void key(std::uint32_t keysym, std::uint32_t character = 0)
    {
        app.headless.key(native(window), 40, keysym, character);
        app.settle();
    }

    WinApp app;
    LogWindow* window = nullptr;
    PaintChild* owner = nullptr;
    epiPopupList list;
    std::vector<int> chosen;
    std::vector<std::vector<int>> paths;
    int closings = 0;
};

TEST_F(PopupListTest, OpensAsAnUndecoratedWindowAtThePointAndChoosesAPressedRow)
{
    ASSERT_TRUE(list.openAt(*owner, epiPopupList::screenPoint(*owner, {5, 5})));
    app.settle();
    ASSERT_EQ(list.openLevels(), 1);
    epiUiEventsBase* shown = list.window(0);
    EXPECT_EQ(shown->hostWindow()->options().kind, pui::WindowKind::Popup);
    EXPECT_TRUE(shown->hostWindow()->visible());
    EXPECT_EQ(shown->getFrame().left, 115);
    EXPECT_EQ(shown->getFrame().top, 115);
    EXPECT_EQ(shown->getHeight(), 2 + 4 * 20 + 7 + 2);
    EXPECT_EQ(epiPopupList::current(), &list);

    // Hovering marks; the separator and the disabled row mark nothing.
    onList(0, pui::PointerAction::Move, rowPoint(0, 0));
    EXPECT_EQ(list.marked(0), 0);
    onList(0, pui::PointerAction::Move, rowPoint(0, 2));
    EXPECT_EQ(list.marked(0), -1);
    onList(0, pui::PointerAction::Down, rowPoint(0, 2));
    EXPECT_TRUE(list.isOpen());
    onList(0, pui::PointerAction::Down, rowPoint(0, 4));
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(chosen, std::vector<int>{5});
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(epiPopupList::current(), nullptr);
}

TEST_F(PopupListTest, ADragFromTheOwnersWindowAndAReleaseOverARowChoose)
{
    // The owner's window holds the press that opened the list.
    app.headless.press(native(window), 20, 20);
    app.settle();
    owner->log.clear();
    ASSERT_TRUE(list.openAt(*owner, epiPopupList::screenPoint(*owner, {10, 10})));
    const epiPoint target = rowPoint(0, 0);
    const epiPoint client(target.x - 100, target.y - 100);
    // A release before moving over the list chooses nothing.
    app.headless.release(native(window), 20, 20);
    app.settle();
    EXPECT_TRUE(list.isOpen());
    app.headless.motion(native(window), client.x, client.y, platform::kButton1Mask);
    app.settle();
    EXPECT_EQ(list.marked(0), 0);
    EXPECT_TRUE(owner->log.empty()) << "the list takes the pointer";
    app.headless.release(native(window), client.x, client.y);
    app.settle();
    EXPECT_EQ(chosen, std::vector<int>{1});
}

TEST_F(PopupListTest, KeysMoveOverEnabledRowsOpenSubListsAndChoose)
{
    ASSERT_TRUE(list.openAt(*owner, {300, 300}));
    key(platform::kKeyDown);
    EXPECT_EQ(list.marked(0), 0);
    key(platform::kKeyDown); // past the separator and the disabled row
    EXPECT_EQ(list.marked(0), 3);
    key(platform::kKeyUp);
    EXPECT_EQ(list.marked(0), 0);
    key(platform::kKeyUp); // wraps to the last row
    EXPECT_EQ(list.marked(0), 4);
    key(platform::kKeyUp);
    key(platform::kKeyRight);
    ASSERT_EQ(list.openLevels(), 2);
    EXPECT_EQ(list.marked(1), 0);
    key(platform::kKeyLeft);
    EXPECT_EQ(list.openLevels(), 1);
    key(0xff0d, 13); // Return opens the sub-list
    ASSERT_EQ(list.openLevels(), 2);
    key(platform::kKeyDown);
    key(0xff0d, 13);
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(chosen, std::vector<int>{42});
    EXPECT_EQ(paths.back(), (std::vector<int>{3, 1}));

    // Escape closes without a choice; keys reach the window again.
    ASSERT_TRUE(list.openAt(*owner, {300, 300}));
    key(0xff1b, 27);
    EXPECT_FALSE(list.isOpen());
    EXPECT_EQ(chosen.size(), 1u);
    EXPECT_EQ(window->getKeyTarget(), nullptr);
}

TEST_F(PopupListTest, ASubListOpensAfterResting)
{
    ASSERT_TRUE(list.openAt(*owner, {300, 300}));
    app.clock = 5.0;
    onList(0, pui::PointerAction::Move, rowPoint(0, 3));
    app.clock = 5.1;
    app.settle();
    EXPECT_EQ(list.openLevels(), 1);
    app.clock = 5.25;
    app.settle();
    ASSERT_EQ(list.openLevels(), 2);
    // Beside the row.
    EXPECT_GT(list.window(1)->getFrame().left, list.window(0)->getFrame().left);
    onList(1, pui::PointerAction::Move, rowPoint(1, 0));
    onList(1, pui::PointerAction::Up, rowPoint(1, 0));
    EXPECT_EQ(chosen, std::vector<int>{41});
}

TEST_F(PopupListTest, AClickOutsideOrTheOwnersFocusLossClosesWithoutAChoice)
{
    ASSERT_TRUE(list.openAt(*owner, {300, 300}));
    app.headless.press(native(window), 20, 20);
    app.settle();
    EXPECT_FALSE(list.isOpen());
    EXPECT_TRUE(owner->log.empty()) << "the closing click is the list's";
    app.headless.release(native(window), 20, 20);
    app.settle();

    ASSERT_TRUE(list.openAt(*owner, {300, 300}));
    app.headless.focus(native(window), false);
    app.settle();
    EXPECT_FALSE(list.isOpen());
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(closings, 2);

    // Nothing opens without rows.
    list.setItems({});
    EXPECT_FALSE(list.openAt(*owner, {300, 300}));
}

} // namespace
