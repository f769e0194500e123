#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindowSystem.h"
#include "tests/platform/headless/RecordingSink.h"

namespace pui = platform::ui;
using test::ui::pumpAll;
using test::ui::RecordingSink;

namespace {

class HeadlessWindowSystemTest : public testing::Test {
protected:
    std::unique_ptr<pui::HostWindow> open(pui::WindowKind kind = pui::WindowKind::TopLevel,
                                          void* parent = nullptr)
    {
        pui::WindowOptions options;
        options.kind = kind;
        options.parent = parent;
        options.frame = {100, 80, 40, 30};
        options.background = 0x123456;
        return system.createWindow(options, sink);
    }

    pui::HeadlessWindowSystem system;
    RecordingSink sink;
};

TEST_F(HeadlessWindowSystemTest, ShownTopLevelWindowIsExposedWholeAndTakesTheFocus)
{
    auto window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(system.find(window->handle()), window.get());
    window->show(true);
    pumpAll(system);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"expose 0,0,40,30", "focus in"}));
    EXPECT_EQ(system.foregroundWindow(), window->handle());
    // Nothing presented yet: the background shows.
    auto* headless = static_cast<pui::HeadlessWindow*>(window.get());
    EXPECT_EQ(headless->screen().front(), 0x123456u);
}

TEST_F(HeadlessWindowSystemTest, PointerInputReachesTheSinkInClientCoordinates)
{
    auto window = open();
    system.press(*window, 3, 4);
    system.motion(*window, 5, 6, platform::kButton1Mask);
    system.release(*window, 7, 8);
    system.motion(*window, 9, 10);
    system.wheel(*window, 1, 2, -240);
    pumpAll(system);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"down 3,4", "focus in", "drag 5,6", "up 7,8",
                                                    "move 9,10", "wheel 1,2 -240"}));
}

TEST_F(HeadlessWindowSystemTest, DisabledWindowDropsPointerAndKeysButNotItsOwnEvents)
{
    auto window = open();
    pumpAll(system);
    sink.calls.clear();
    system.enableWindow(window->handle(), false);
    EXPECT_FALSE(window->enabled());
    system.press(*window, 1, 1);
    system.release(*window, 1, 1);
    system.wheel(*window, 1, 1, 120);
    system.key(*window, 38, 'a', 'a');
    system.requestClose(*window);
    platform::PumpEvent event;
    int keys = 0;
    while (system.poll(event)) {
        keys += event.type == platform::PumpEventType::KeyPress;
        system.dispatch(event);
    }
    EXPECT_EQ(keys, 0);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"close"}));

    window->setEnabled(true);
    system.key(*window, 38, 'a', 'a');
    ASSERT_TRUE(system.poll(event));
    EXPECT_EQ(event.type, platform::PumpEventType::KeyPress);
    EXPECT_EQ(event.window, window->handle());
}

TEST_F(HeadlessWindowSystemTest, MovesAndResizesUpdateTheFrameAndIconifyKeepsIt)
{
    auto window = open();
    pumpAll(system);
    sink.calls.clear();
    system.iconify(*window);
    system.move(*window, 120, 90);
    system.move(*window, 120, 90); // unchanged: not reported again
    system.resize(*window, 50, 60);
    pumpAll(system);
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"moved 120,90", "resized 50,60"}));
    EXPECT_EQ(window->frame(), (pui::Rect{120, 90, 50, 60}));
}

TEST_F(HeadlessWindowSystemTest, ChildNeedsALiveParentAndEventsOfAClosedWindowAreDropped)
{
    EXPECT_FALSE(open(pui::WindowKind::Child, reinterpret_cast<void*>(0x1234)));
    auto parent = open();
    auto child = open(pui::WindowKind::Child, parent->handle());
    ASSERT_TRUE(child);
    system.press(*child, 1, 1);
    system.requestClose(*parent);
    child.reset();
    pumpAll(system);
    EXPECT_FALSE(sink.saw("down 1,1"));
    EXPECT_TRUE(sink.saw("close"));
}

TEST_F(HeadlessWindowSystemTest, PresentCopiesOnlyTheAreaWithoutAlpha)
{
    auto window = open();
    std::vector<std::uint32_t> buffer(40 * 30, 0xFFABCDEF);
    window->present(buffer.data(), 40, {38, 28, 10, 10}); // clipped to the window
    const auto& screen = static_cast<pui::HeadlessWindow*>(window.get())->screen();
    EXPECT_EQ(screen[29 * 40 + 39], 0xABCDEFu);
    EXPECT_EQ(screen[28 * 40 + 37], 0x123456u);
}

TEST_F(HeadlessWindowSystemTest, FocusMovesBetweenTopLevelWindowsAndQuitIsQueued)
{
    RecordingSink second;
    pui::WindowOptions options;
    options.frame = {0, 0, 10, 10};
    auto first = open();
    auto other = system.createWindow(options, second);
    first->show(true);
    pumpAll(system);
    ASSERT_EQ(system.foregroundWindow(), first->handle());
    system.setForegroundWindow(other->handle());
    system.postQuit();
    platform::PumpEvent event;
    bool quit = false;
    while (system.poll(event)) {
        quit = quit || event.type == platform::PumpEventType::Quit;
        system.dispatch(event);
    }
    EXPECT_TRUE(quit);
    ASSERT_FALSE(sink.calls.empty());
    ASSERT_FALSE(second.calls.empty());
    EXPECT_EQ(sink.calls.back(), "focus out");
    EXPECT_EQ(second.calls.back(), "focus in");
    EXPECT_EQ(system.foregroundWindow(), other->handle());
}

} // namespace
