#include "TestApplication.h"

#include "hostfw/app/epiMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingMenu : epiMenu {
    explicit RecordingMenu(std::vector<std::string>& log) : log(log) {}
    bool onCommand(epiFourCC) override
    {
        log.push_back("menu");
        return handles;
    }
    std::vector<std::string>& log;
    bool handles = false;
};

struct RoutingApp : TestApplication {
    epiObject* createObject(epiFourCC group, epiFourCC kind, void* argument) override
    {
        if (group == epiCode("Appl") && kind == epiCode("Menu"))
            return new RecordingMenu(log);
        return TestApplication::createObject(group, kind, argument);
    }
    bool onCommand(epiFourCC) override
    {
        log.push_back("application");
        return handles;
    }
    std::vector<std::string> log;
    bool handles = false;
};

struct WindowManagerTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(app.init());
        manager = app.getWindowManager();
    }
    // Runs the loop, calling the action on each turn with the turn's number
    // (from 1); the action must end the loop.
    int runLoop(const std::function<void(int)>& action)
    {
        int turns = 0;
        const int hook = manager->addTurnHook([&] { action(++turns); });
        manager->runMessageLoop();
        manager->removeTurnHook(hook);
        return turns;
    }
    RoutingApp app;
    epiWindowManager* manager = nullptr;
};

TEST_F(WindowManagerTest, TheManagerCoversTheScreenLessFiftyPixels)
{
    const epiRect& rect = manager->getRect();
    EXPECT_TRUE(rect.equalsEdges(0, 0, 1920, 1030));
}

TEST_F(WindowManagerTest, OnlyQuitEndsTheLoop)
{
    platform::PumpEvent quitRequest;
    quitRequest.type = platform::PumpEventType::Quit;
    app.events.inject(quitRequest);
    const int turns = runLoop([&](int turn) {
        if (turn == 5)
            manager->quit();
    });
    EXPECT_EQ(turns, 5);
    EXPECT_FALSE(manager->isRunning());
    EXPECT_EQ(app.events.quitsPosted, 1);
    // Idle turns waited on the pump instead of spinning.
    EXPECT_GE(app.events.waits, 4);
}

TEST_F(WindowManagerTest, RemovingTheLastWindowEndsTheLoopUnlessTheFlagWasCleared)
{
    for (bool quitOnLast : {true, false}) {
        RoutingApp app;
        ASSERT_TRUE(app.init());
        epiWindowManager* manager = app.getWindowManager();
        EXPECT_TRUE(manager->getQuitOnLastWindow());
        manager->setQuitOnLastWindow(quitOnLast);
        RecordingWindow first, second;
        ASSERT_TRUE(manager->addChild(&first));
        ASSERT_TRUE(manager->addChild(&second));
        int turns = 0;
        manager->addTurnHook([&] {
            ++turns;
            if (turns == 2)
                first.exit();
            if (turns == 3)
                second.exit();
            if (turns == 10)
                manager->quit();
        });
        manager->runMessageLoop();
        EXPECT_EQ(turns, quitOnLast ? 3 : 10);
        EXPECT_EQ(manager->childCount(), 0);
    }
}

TEST_F(WindowManagerTest, PerTurnHooksRunOnEveryTurnAndMayRemoveThemselves)
{
    app.events.injectKey(38, 'a', 'a');
    int counted = 0;
    int once = 0;
    int onceId = 0;
    onceId = manager->addTurnHook([&] {
        ++once;
        manager->removeTurnHook(onceId);
    });
    const int turns = runLoop([&](int turn) {
        counted = turn;
        if (turn == 6)
            manager->quit();
    });
    EXPECT_EQ(turns, 6);
    EXPECT_EQ(counted, 6); // the two key turns and the idle ones alike
    EXPECT_EQ(once, 1);
}

TEST_F(WindowManagerTest, WindowsCascadeAndStartAgainPast640)
{
    std::vector<epiPoint> positions;
    for (int i = 0; i < 21; ++i) {
        epiRect rect(5, 5, 100, 100);
        manager->nextWindowRect(rect);
        EXPECT_EQ(rect.getWidth(), 0);
        positions.push_back(rect.topLeft());
    }
    EXPECT_TRUE(positions[0].equals({64, 64}));
    EXPECT_TRUE(positions[9].equals({352, 208}));
    EXPECT_TRUE(positions[18].equals({640, 352}));
    EXPECT_TRUE(positions[19].equals({64, 64}));
    EXPECT_TRUE(positions[20].equals({96, 80}));
    EXPECT_EQ(manager->nextWindowClassName(), "epiWndClass_0000");
    EXPECT_EQ(manager->nextWindowClassName(), "epiWndClass_0001");
}

TEST_F(WindowManagerTest, CursorsChangeOnlyForExistingSlotsAndTheTwoSystemCursors)
{
    const struct {
        int index;
        int expected;
        platform::PumpCursor platform;
    } steps[] = {
        {-3, -3, platform::PumpCursor::Wait}, {0, -3, platform::PumpCursor::Wait},
        {15, -3, platform::PumpCursor::Wait}, {16, -3, platform::PumpCursor::Wait},
        {-1, -3, platform::PumpCursor::Wait}, {-2, -2, platform::PumpCursor::Arrow},
        {7, -2, platform::PumpCursor::Arrow},
    };
    for (const auto& step : steps) {
        manager->setCursor(step.index);
        EXPECT_EQ(manager->getCursor(), step.expected) << step.index;
        EXPECT_EQ(app.events.cursor, step.platform) << step.index;
    }
    EXPECT_EQ(app.events.cursorChanges, 2);
    manager->hideCursor();
    EXPECT_FALSE(app.events.cursorShown);
    manager->showCursor(-3);
    EXPECT_TRUE(app.events.cursorShown);
    EXPECT_EQ(manager->getCursor(), -3);
}

TEST_F(WindowManagerTest, CommandsGoToForegroundFirstWindowApplicationThenMenu)
{
    auto* menu = static_cast<RecordingMenu*>(app.getMenu());
    const struct {
        const char* handler;
        bool foregroundIsFirst;
        std::vector<std::string> expected;
    } cases[] = {
        {"", false, {"foreground", "first", "application", "menu"}},
        {"foreground", false, {"foreground"}},
        {"first", false, {"foreground", "first"}},
        {"application", false, {"foreground", "first", "application"}},
        {"menu", false, {"foreground", "first", "application", "menu"}},
        // The first window in the foreground is asked once.
        {"", true, {"first", "application", "menu"}},
    };
    for (const auto& c : cases) {
        app.log.clear();
        RecordingWindow first(&app.log, "first"), foreground(&app.log, "foreground");
        manager->addChild(&first);
        manager->addChild(&foreground);
        app.events.foreground =
            c.foregroundIsFirst ? first.nativeHandle() : foreground.nativeHandle();
        EXPECT_EQ(manager->getForegroundWindow(),
                  c.foregroundIsFirst ? &first : static_cast<epiUbo*>(&foreground));
        first.handles = std::string(c.handler) == "first";
        foreground.handles = std::string(c.handler) == "foreground";
        app.handles = std::string(c.handler) == "application";
        menu->handles = std::string(c.handler) == "menu";
        EXPECT_EQ(manager->onCommand(epiCode("save")), *c.handler != 0) << c.handler;
        EXPECT_EQ(app.log, c.expected) << c.handler;
        manager->setQuitOnLastWindow(false);
        foreground.exit();
        first.exit();
    }
    // Without a foreground window the first window is the foreground one.
    RecordingWindow only;
    manager->addChild(&only);
    app.events.foreground = nullptr;
    EXPECT_EQ(manager->getForegroundWindow(), &only);
    only.exit();
    EXPECT_EQ(manager->getForegroundWindow(), nullptr);
}

TEST_F(WindowManagerTest, BringingToFrontAndDisablingOtherWindowsGoThroughThePump)
{
    RecordingWindow a, b, c;
    for (RecordingWindow* window : {&a, &b, &c})
        manager->addChild(window);
    manager->bringToFront(&b);
    EXPECT_EQ(app.events.foreground, b.nativeHandle());
    RecordingWindow stranger;
    manager->bringToFront(&stranger);
    EXPECT_EQ(app.events.foreground, b.nativeHandle());
    EXPECT_EQ(manager->findWindowByHandle(c.nativeHandle()), &c);
    EXPECT_EQ(manager->findWindowByHandle(stranger.nativeHandle()), nullptr);

    manager->enableOtherWindows(&b, false);
    EXPECT_EQ(app.events.disabledWindows, (std::vector<void*>{a.nativeHandle(), c.nativeHandle()}));
    manager->enableOtherWindows(&b, true);
    EXPECT_TRUE(app.events.disabledWindows.empty());
    manager->setQuitOnLastWindow(false);
}

// A listener that records what reaches it and its count during the call.
struct Listener : epiUbo {
    Listener() { enableReferenceCount(); }
    void onMessage(epiFourCC key, epiUbo* sender, void* argument) override
    {
        heard.push_back({key, sender, argument, getReferenceCount()});
    }
    struct Heard {
        epiFourCC key;
        epiUbo* sender;
        void* argument;
        int count;
    };
    std::vector<Heard> heard;
};

TEST_F(WindowManagerTest, KeyRegistrationsUpdateReuseAndRetainAroundBroadcasts)
{
    epiUbo owner;
    Listener first, second;
    const auto entries = [&] { return owner.registrations().entries(); };

    owner.registerListener(epiCode("upda"), &first, 1);
    owner.registerListener(epiCode("upda"), &first, 2); // same key and listener: updated
    owner.registerListener(epiCode("upda"), &second, 3);
    ASSERT_EQ(entries().size(), 2u);
    EXPECT_EQ(entries()[0].value, 2);

    owner.unregisterListener(epiCode("upda"), &first);
    EXPECT_EQ(entries()[0].key, 0u);
    owner.registerListener(epiCode("uDsr"), &first, 4); // takes the freed entry
    ASSERT_EQ(entries().size(), 2u);
    EXPECT_EQ(entries()[0].key, epiCode("uDsr"));

    int argument = 0;
    owner.broadcast(epiCode("upda"), &argument);
    EXPECT_TRUE(first.heard.empty());
    ASSERT_EQ(second.heard.size(), 1u);
    EXPECT_EQ(second.heard[0].key, epiCode("upda"));
    EXPECT_EQ(second.heard[0].sender, &owner);
    EXPECT_EQ(second.heard[0].argument, &argument);
    EXPECT_EQ(second.heard[0].count, 2); // retained during the call
    EXPECT_EQ(second.getReferenceCount(), 1);

    // Without a listener every entry of the key is freed.
    owner.registerListener(epiCode("upda"), &first, 5);
    owner.unregisterListener(epiCode("upda"), nullptr);
    owner.broadcast(epiCode("upda"), nullptr);
    EXPECT_EQ(second.heard.size(), 1u);
    EXPECT_TRUE(first.heard.empty());
    owner.broadcast(epiCode("uDsr"), nullptr);
    EXPECT_EQ(first.heard.size(), 1u);
}

} // namespace
