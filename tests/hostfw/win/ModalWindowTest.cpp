#include "WinTestSupport.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/app/epiMenu.h"
#include "hostfw/win/epiModalWindow.h"

#include <gtest/gtest.h>

#include <functional>

namespace pui = platform::ui;
using test::win::LogWindow;
using test::win::WinApp;

namespace {

struct LogModal : epiModalWindow {
    void onKeyDown(int code) override { keys.push_back(code); }
    std::vector<int> keys;
};

struct Ticker : epiApplicationObject {
    void onTimedTask() override { ++ticks; }
    int ticks = 0;
};

struct ModalWindowTest : ::testing::Test {
    template <class W> W* make(const epiRect& frame, bool visible = true)
    {
        auto* window = new W;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        window->setAttribute(epiCode("visi"), visible ? 1 : 0);
        window->setRect(frame);
        return window;
    }
    // Runs `step` on every turn of whichever loop runs, until it returns true.
    void onEachTurn(std::function<bool()> step)
    {
        hook = manager->addTurnHook([this, step] {
            if (step())
                manager->removeTurnHook(hook);
        });
    }

    WinApp app;
    epiWindowManager* manager = app.getWindowManager();
    pui::HeadlessWindowSystem& system = app.headless;
    int hook = 0;
};

TEST_F(ModalWindowTest, FailedCreationReturnsAtOnce)
{
    platform::HeadlessEventPump plain;
    app.setEventPump(&plain);
    LogModal* modal = make<LogModal>(epiRect(0, 0, 100, 100));
    EXPECT_FALSE(modal->openAs(&app, epiCode("modl")));
    EXPECT_TRUE(modal->loopStarted());
    modal->exit();
    app.setEventPump(&system);
}

TEST_F(ModalWindowTest, NestedModalReturnsToTheOuterLoopAndReenablesOnlyTheOuterWindow)
{
    LogWindow* main = make<LogWindow>(epiRect(0, 0, 400, 300));
    main->openAs(&app, epiCode("main"));
    LogModal* outer = make<LogModal>(epiRect(10, 10, 200, 100));
    LogModal* inner = make<LogModal>(epiRect(20, 20, 100, 50));
    std::vector<std::string> seen;
    int step = 0;
    onEachTurn([&] {
        if (step == 0) {
            step = 1;
            seen.push_back("outer loop, main disabled " + std::to_string(main->disableCount()));
            inner->openAs(&app, epiCode("innr")); // returns once closed
            seen.push_back("back in outer loop: main " + std::to_string(main->disableCount()) +
                           ", outer " + std::to_string(outer->disableCount()));
            seen.push_back(std::string("front is outer: ") +
                           (system.raised.back() == outer->nativeHandle() ? "yes" : "no"));
            outer->close();
            return true;
        }
        seen.push_back("inner loop: main " + std::to_string(main->disableCount()) + ", outer " +
                       std::to_string(outer->disableCount()));
        inner->close();
        return false;
    });
    outer->openAs(&app, epiCode("outr"));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "outer loop, main disabled 1", "inner loop: main 2, outer 1",
                        "back in outer loop: main 1, outer 0", "front is outer: yes"}));
    EXPECT_EQ(main->disableCount(), 0);
    EXPECT_TRUE(main->hostWindow()->enabled());
    EXPECT_EQ(system.raised.back(), main->nativeHandle());
    EXPECT_EQ(inner->hostWindow(), nullptr);
    outer->exit();
    inner->exit();
}

TEST_F(ModalWindowTest, TimedTasksAndHooksRunInsideTheLoopButShortcutsDoNot)
{
    ASSERT_TRUE(app.getMenu()->buildFromText(
        epiText("<epi><content><menulist><item><text>File</text><menulist><item><text>Quit</text>"
                "<name>quit</name><shortcut><char>q</char></shortcut></item></menulist></item>"
                "</menulist></content></epi>")));
    Ticker ticker;
    ticker.attach(&app);
    app.addTimedTask(&ticker, 0.5, true, false);
    LogModal* modal = make<LogModal>(epiRect(0, 0, 100, 100));
    int turns = 0;
    onEachTurn([&] {
        ++turns;
        if (turns == 1) {
            system.key(*modal->hostWindow(), 24, 'q', 'q', platform::kModControl);
            app.clock = 1.0;
        }
        if (turns < 6)
            return false;
        modal->close();
        return true;
    });
    modal->openAs(&app, epiCode("modl"));
    EXPECT_EQ(ticker.ticks, 1);
    // The key reached the window instead of quitting through the menu.
    EXPECT_EQ(modal->keys.size(), 1u);
    EXPECT_TRUE(manager->isRunning());
    modal->exit();
    // The same key in the main loop is the shortcut.
    LogWindow* main = make<LogWindow>(epiRect(0, 0, 100, 100));
    main->openAs(&app, epiCode("main"));
    system.key(*main->hostWindow(), 24, 'q', 'q', platform::kModControl);
    app.settle();
    EXPECT_FALSE(manager->isRunning());
    app.removeTimedTasks(&ticker);
}

TEST_F(ModalWindowTest, FrontWindowThatWentWhileTheModalRanIsNotTouched)
{
    LogWindow* main = make<LogWindow>(epiRect(0, 0, 400, 300));
    main->openAs(&app, epiCode("main"));
    LogModal* modal = make<LogModal>(epiRect(10, 10, 200, 100));
    onEachTurn([&] {
        main->exit(); // deleted while the modal window runs
        modal->close();
        return true;
    });
    modal->openAs(&app, epiCode("modl"));
    EXPECT_EQ(modal->previousWindow(), nullptr);
    EXPECT_EQ(manager->childCount(), 0);
    modal->exit();
}

TEST_F(ModalWindowTest, HiddenModalDoesNotBlockAndStartsItsLoopOnceWhenShown)
{
    LogModal* modal = make<LogModal>(epiRect(0, 0, 100, 100), false);
    modal->openAs(&app, epiCode("modl"));
    EXPECT_FALSE(modal->loopStarted());
    EXPECT_TRUE(modal->hostWindow());
    int loops = 0;
    onEachTurn([&] {
        ++loops;
        modal->setVisible(false, true);
        modal->setVisible(true, true); // shown again: no second loop
        modal->close();
        return true;
    });
    modal->setVisible(true, true);
    EXPECT_TRUE(modal->loopStarted());
    EXPECT_EQ(loops, 1);
    EXPECT_FALSE(modal->hostWindow());
    modal->exit();
}

} // namespace
