#include "WinTestSupport.h"

#include "hostfw/app/epiMenu.h"
#include "hostfw/win/epiUiContainer.h"

#include <gtest/gtest.h>

namespace pui = platform::ui;
using test::win::addChild;
using test::win::LogWindow;
using test::win::PaintChild;
using test::win::WinApp;

namespace {

epiFourCC code4(const char* text)
{
    return static_cast<epiFourCC>(static_cast<unsigned char>(text[0])) << 24 |
           static_cast<epiFourCC>(static_cast<unsigned char>(text[1])) << 16 |
           static_cast<epiFourCC>(static_cast<unsigned char>(text[2])) << 8 |
           static_cast<unsigned char>(text[3]);
}

struct WindowTest : ::testing::Test {
    // A window at a fixed frame (no cascade), created and opened.
    LogWindow* openWindow(const epiRect& frame,
                          std::vector<std::pair<const char*, int>> attributes = {})
    {
        auto* window = new LogWindow;
        window->enableReferenceCount();
        window->setAttribute(epiCode("aupo"), 0);
        for (const auto& [code, value] : attributes)
            window->setAttribute(code4(code), value);
        window->setRect(frame);
        window->openAs(&app, epiCode("test"));
        return window;
    }
    pui::HeadlessWindow& native(epiWindow* window)
    {
        return static_cast<pui::HeadlessWindow&>(*window->hostWindow());
    }

    WinApp app;
    epiWindowManager* manager = app.getWindowManager();
    pui::HeadlessWindowSystem& system = app.headless;
};

TEST_F(WindowTest, AttributesBecomeTheNativeWindowsOptions)
{
    struct Case {
        const char* code;
        int value;
        bool (*check)(const pui::WindowOptions&);
    };
    const Case cases[] = {
        {"RszX", 0, [](const pui::WindowOptions& o) { return !o.resizableX && o.maximizeBox; }},
        {"RszY", 0, [](const pui::WindowOptions& o) { return !o.resizableY && o.maximizeBox; }},
        {"Zoma", 0, [](const pui::WindowOptions& o) { return !o.minimizeBox; }},
        {"Clsa", 0, [](const pui::WindowOptions& o) { return !o.closeBox; }},
        {"Plai", 1,
         [](const pui::WindowOptions& o) { return o.decorations == pui::Decorations::Plain; }},
        {"Fram", 1,
         [](const pui::WindowOptions& o) { return o.decorations == pui::Decorations::Frame; }},
        {"OZoo", 1, [](const pui::WindowOptions& o) { return o.maximised; }},
        {"ReDr", 1, [](const pui::WindowOptions& o) { return o.acceptsFiles; }},
        {"Modl", 1, [](const pui::WindowOptions& o) { return o.modal; }},
        {"MszX", 120, [](const pui::WindowOptions& o) { return o.minWidth == 120; }},
        {"MszY", 90, [](const pui::WindowOptions& o) { return o.minHeight == 90; }},
        {"XszX", 800, [](const pui::WindowOptions& o) { return o.maxWidth == 800; }},
        {"XszY", 600, [](const pui::WindowOptions& o) { return o.maxHeight == 600; }},
        {"grBk", 1, [](const pui::WindowOptions& o) { return o.background == 0xF0F0F0; }},
        {"grBl", 1, [](const pui::WindowOptions& o) { return o.background == 0; }},
        {"noBk", 1, [](const pui::WindowOptions& o) { return o.background == 0; }},
        // Accepted, and nothing comes of them.
        {"isUt", 1,
         [](const pui::WindowOptions& o) { return o.kind == pui::WindowKind::TopLevel; }},
        {"Shet", 1,
         [](const pui::WindowOptions& o) { return o.kind == pui::WindowKind::TopLevel; }},
    };
    for (const Case& c : cases) {
        LogWindow* window = openWindow(epiRect(10, 20, 110, 70), {{c.code, c.value}});
        ASSERT_TRUE(window->hostWindow()) << c.code;
        EXPECT_TRUE(c.check(window->hostWindow()->options())) << c.code;
        EXPECT_EQ(window->hostWindow()->options().frame, (pui::Rect{10, 20, 100, 50}));
        window->exit();
    }
    // Both sizes fixed: no maximize box; the defaults are the window colour
    // and a normal frame with every box.
    LogWindow* fixed = openWindow(epiRect(0, 0, 10, 10), {{"RszX", 0}, {"RszY", 0}});
    EXPECT_FALSE(fixed->hostWindow()->options().maximizeBox);
    LogWindow* plain = openWindow(epiRect(0, 0, 10, 10));
    const pui::WindowOptions& o = plain->hostWindow()->options();
    EXPECT_TRUE(o.minimizeBox && o.maximizeBox && o.closeBox && o.resizableX && o.resizableY);
    EXPECT_EQ(o.background, 0xFFFFFFu);
    EXPECT_FALSE(o.menuStrip); // 'mBar' without a menu bar
}

TEST_F(WindowTest, ParentAttributeMakesAChildWindowAndMenuBarAStrip)
{
    LogWindow* main = openWindow(epiRect(0, 0, 300, 200));
    main->setId(epiCode("main"));
    LogWindow* child = openWindow(epiRect(5, 5, 50, 50), {{"Pare", epiCode("main")}});
    EXPECT_EQ(child->hostWindow()->options().kind, pui::WindowKind::Child);
    EXPECT_EQ(child->hostWindow()->options().parent, main->nativeHandle());

    ASSERT_TRUE(app.getMenu()->buildFromText(
        epiText("<epi><content><menulist><item><text>File</text><menulist><item><text>Quit"
                "</text><name>quit</name></item></menulist></item></menulist></content></epi>")));
    LogWindow* withBar = openWindow(epiRect(0, 0, 300, 200), {{"mBar", 1}});
    EXPECT_TRUE(withBar->hostWindow()->options().menuStrip);
    // The strip is outside the client area: frame and bounds keep its size.
    EXPECT_EQ(withBar->getBounds().getHeight(), 200);
}

TEST_F(WindowTest, ConstrainSizeKeepsTheLimitsAndFixedDimensions)
{
    struct Case {
        std::vector<std::pair<const char*, int>> attributes;
        epiRect proposed;
        epiRect expected;
        bool changed;
    };
    const epiRect current(100, 100, 300, 250);
    const Case cases[] = {
        {{}, epiRect(100, 100, 350, 260), epiRect(100, 100, 350, 260), false},
        {{{"MszX", 180}}, epiRect(100, 100, 250, 250), epiRect(100, 100, 280, 250), true},
        {{{"MszY", 120}}, epiRect(90, 80, 300, 150), epiRect(90, 80, 300, 200), true},
        {{{"XszX", 220}, {"XszY", 160}},
         epiRect(100, 100, 400, 400),
         epiRect(100, 100, 320, 260),
         true},
        {{{"RszX", 0}}, epiRect(100, 100, 500, 300), epiRect(100, 100, 300, 300), true},
        {{{"RszY", 0}}, epiRect(100, 100, 500, 300), epiRect(100, 100, 500, 250), true},
        {{{"RszX", 0}, {"MszX", 400}},
         epiRect(100, 100, 150, 250),
         epiRect(100, 100, 500, 250),
         true},
    };
    for (const Case& c : cases) {
        epiWindow window;
        for (const auto& [code, value] : c.attributes)
            window.setAttribute(code4(code), value);
        epiRect proposed(c.proposed);
        EXPECT_EQ(window.constrainSize(proposed, current), c.changed);
        EXPECT_TRUE(proposed.equalsEdges(c.expected.left, c.expected.top, c.expected.right,
                                         c.expected.bottom))
            << proposed.left << "," << proposed.top << "," << proposed.right << ","
            << proposed.bottom;
    }
}

TEST_F(WindowTest, ResizeByTheWindowManagerBelowTheMinimumSnapsBack)
{
    LogWindow* window = openWindow(epiRect(10, 10, 310, 210), {{"MszX", 200}, {"RszY", 0}});
    system.resize(*window->hostWindow(), 150, 400);
    app.settle();
    EXPECT_TRUE(window->getFrame().equalsEdges(10, 10, 210, 210));
    EXPECT_EQ(window->hostWindow()->frame(), (pui::Rect{10, 10, 200, 200}));
}

TEST_F(WindowTest, PlaceCornersWithAndWithoutReferenceWindow)
{
    // The manager's area is the screen (1920 x 1080) less 50 at the bottom,
    // less 10 on every side: (10, 10) - (1910, 1020). The reference is
    // (300, 200) - (700, 500); the window is 200 x 100.
    struct Case {
        const char* code;
        epiPoint withReference;
        epiPoint without;
    };
    const Case cases[] = {
        {"aler", {400, 200}, {860, 196}},  {"dpLT", {10, 200}, {10, 50}},
        {"dpRT", {1710, 200}, {1710, 50}}, {"paCe", {400, 300}, {860, 505}},
        {"paLT", {300, 200}, {10, 50}},    {"paRT", {700, 200}, {1710, 50}},
        {"paRB", {700, 500}, {1710, 960}}, {"paLB", {300, 500}, {10, 960}},
        {"what", {33, 44}, {33, 44}},
    };
    LogWindow* reference = openWindow(epiRect(300, 200, 700, 500));
    for (const Case& c : cases) {
        for (bool withReference : {true, false}) {
            LogWindow* window = openWindow(epiRect(33, 44, 233, 144));
            window->place(code4(c.code), withReference ? reference : nullptr, 0, 0);
            const epiPoint expected = withReference ? c.withReference : c.without;
            EXPECT_EQ(window->getFrame().left, expected.x) << c.code << withReference;
            EXPECT_EQ(window->getFrame().top, expected.y) << c.code << withReference;
            EXPECT_EQ(window->getFrame().getWidth(), 200);
            window->exit();
        }
    }
    // The offset moves the corner before it is kept inside the area.
    LogWindow* window = openWindow(epiRect(0, 0, 200, 100));
    reference->setId(epiCode("refw"));
    window->placeRelativeTo(nullptr, epiCode("paLT"), -500, 7, epiCode("refw"));
    EXPECT_TRUE(window->getFrame().equalsEdges(10, 207, 210, 307));
    EXPECT_EQ(window->hostWindow()->frame(), (pui::Rect{10, 207, 200, 100}));
}

TEST_F(WindowTest, ZeroFrameOpensAtTheDefaultAndEachWindowGetsItsOwnClass)
{
    LogWindow* first = openWindow(epiRect(0, 0, 0, 0));
    EXPECT_TRUE(first->getFrame().equalsEdges(50, 50, 250, 150));
    LogWindow* second = openWindow(epiRect(0, 0, 0, 0));
    EXPECT_NE(first->windowClassName(), second->windowClassName());
    EXPECT_EQ(first->hostWindow()->options().className, first->windowClassName());
    EXPECT_EQ(first->windowClassName().rfind("epiWndClass_", 0), 0u);
    // Without 'aupo' cleared, the cascade places the window.
    auto* cascaded = new LogWindow;
    cascaded->enableReferenceCount();
    cascaded->openAs(&app, epiCode("casc"));
    EXPECT_EQ(cascaded->getFrame().left, 64);
    EXPECT_EQ(cascaded->getFrame().getWidth(), 200);
}

TEST_F(WindowTest, EventsFromTheWindowSystem)
{
    LogWindow* window = openWindow(epiRect(100, 100, 300, 250), {{"ReDr", 1}});
    auto* child = addChild(*window, new PaintChild, epiRect(0, 0, 200, 150));
    window->registerListener(epiCode("boCh"), window, 0);
    app.settle();
    window->log.clear();

    system.iconify(*window->hostWindow());
    app.settle();
    EXPECT_TRUE(window->getFrame().equalsEdges(100, 100, 300, 250));
    EXPECT_TRUE(window->getBounds().equalsEdges(0, 0, 200, 150));
    EXPECT_TRUE(window->log.empty());

    system.wheel(*window->hostWindow(), 5, 5, 60);
    system.wheel(*window->hostWindow(), 5, 5, -240);
    app.settle();
    EXPECT_EQ(child->log, (std::vector<std::string>{"wheel 0", "wheel -2"}));

    system.move(*window->hostWindow(), 120, 130);
    app.settle();
    EXPECT_TRUE(window->getFrame().equalsEdges(120, 130, 320, 280));
    system.resize(*window->hostWindow(), 250, 160);
    app.settle();
    EXPECT_TRUE(window->getFrame().equalsEdges(120, 130, 370, 290));
    EXPECT_TRUE(window->getBounds().equalsEdges(0, 0, 250, 160));
    EXPECT_EQ(window->getBackBuffer()->getWidth(), 250);
    EXPECT_EQ(window->log, (std::vector<std::string>{"boCh", "boCh"}));

    window->log.clear();
    system.focus(*window->hostWindow(), false);
    system.focus(*window->hostWindow(), true);
    system.dropFiles(*window->hostWindow(), {"/a.wav", "/b.wav", "/c d.wav"}, 12, 34);
    app.settle();
    EXPECT_EQ(window->log,
              (std::vector<std::string>{"deactivated", "activated", "drop /a.wav 12,34",
                                        "drop /b.wav 12,34", "drop /c d.wav 12,34"}));

    window->log.clear();
    window->closable = false;
    system.requestClose(*window->hostWindow());
    app.settle();
    EXPECT_EQ(window->log, (std::vector<std::string>{"canClose"}));
    EXPECT_TRUE(window->hostWindow());
    window->closable = true;
    system.requestClose(*window->hostWindow());
    app.settle();
    EXPECT_EQ(window->log, (std::vector<std::string>{"canClose", "canClose", "close"}));
    EXPECT_FALSE(window->hostWindow());
    window->exit();
}

TEST_F(WindowTest, PressGrabsThePointerAndReachesTheChildWhoseHitReachesTheWindow)
{
    LogWindow* window = openWindow(epiRect(0, 0, 200, 100));
    auto* child = addChild(*window, new PaintChild, epiRect(10, 10, 60, 60), epiCode("kid1"));
    system.press(*window->hostWindow(), 15, 20);
    app.settle();
    EXPECT_TRUE(window->hostWindow()->grabbing());
    EXPECT_EQ(child->log, (std::vector<std::string>{"down 5,10"}));
    ASSERT_FALSE(window->commands.empty());
    EXPECT_EQ(window->commands.front(), epiCode("kid1"));
    system.release(*window->hostWindow(), 15, 20);
    app.settle();
    EXPECT_FALSE(window->hostWindow()->grabbing());
}

TEST_F(WindowTest, LosingTheFocusEndsTheCaptureInside)
{
    LogWindow* window = openWindow(epiRect(0, 0, 200, 100));
    auto* holder = addChild(*window, new epiUiContainer, epiRect(10, 10, 60, 60));
    auto* child = addChild(*holder, new PaintChild, epiRect(5, 5, 20, 20));
    child->captureMe();
    ASSERT_EQ(holder->getCapturedChild(), child);
    system.focus(*window->hostWindow(), false);
    app.settle();
    EXPECT_EQ(holder->getCapturedChild(), nullptr);
    EXPECT_EQ(window->getCapturedChild(), nullptr);
}

TEST_F(WindowTest, LifeCycleRegistersWithTheManagerAndTheLastCloseEndsTheLoop)
{
    manager->setQuitOnLastWindow(true);
    LogWindow* first = openWindow(epiRect(0, 0, 100, 100));
    LogWindow* second = openWindow(epiRect(0, 0, 100, 100));
    EXPECT_EQ(manager->childCount(), 2);
    EXPECT_EQ(manager->findWindowByHandle(first->nativeHandle()), first);
    EXPECT_TRUE(first->hostWindow()->visible());
    first->onCommand(epiCode("clos"));
    EXPECT_EQ(manager->childCount(), 1);
    EXPECT_FALSE(first->nativeHandle());
    EXPECT_TRUE(manager->isRunning());
    second->close();
    EXPECT_FALSE(manager->isRunning());
    first->exit();
    second->exit();
}

TEST_F(WindowTest, OpenAsFailsWithoutAWindowSystem)
{
    platform::HeadlessEventPump plain;
    app.setEventPump(&plain);
    auto* window = new LogWindow;
    window->enableReferenceCount();
    EXPECT_FALSE(window->openAs(&app, epiCode("none")));
    EXPECT_FALSE(window->nativeHandle());
    window->exit();
    app.setEventPump(&system);
}

TEST_F(WindowTest, DisabledWindowReceivesNoInputAndDisablingNests)
{
    LogWindow* window = openWindow(epiRect(0, 0, 200, 100));
    auto* child = addChild(*window, new PaintChild, epiRect(0, 0, 200, 100));
    window->setWindowEnabled(false);
    window->setWindowEnabled(false);
    EXPECT_EQ(window->disableCount(), 2);
    EXPECT_FALSE(window->hostWindow()->enabled());
    window->setWindowEnabled(true);
    EXPECT_FALSE(window->hostWindow()->enabled());
    system.press(*window->hostWindow(), 5, 5);
    system.wheel(*window->hostWindow(), 5, 5, 120);
    app.settle();
    EXPECT_TRUE(child->log.empty());
    window->setWindowEnabled(true);
    EXPECT_TRUE(window->hostWindow()->enabled());
    window->setWindowEnabled(true); // no disable left: stays at 0
    EXPECT_EQ(window->disableCount(), 0);
    system.press(*window->hostWindow(), 5, 5);
    app.settle();
    EXPECT_EQ(child->log, (std::vector<std::string>{"down 5,5"}));
}

TEST_F(WindowTest, ModifierQueriesFollowTheKeyboardService)
{
    LogWindow* window = openWindow(epiRect(0, 0, 50, 50));
    system.key(*window->hostWindow(), 38, 'A', 'A', platform::kModShift | platform::kModControl);
    app.settle();
    EXPECT_TRUE(window->isShiftDown());
    EXPECT_TRUE(window->isControlDown());
    EXPECT_FALSE(window->isAltDown());
    EXPECT_FALSE(window->isMetaDown());
}

TEST_F(WindowTest, PaintingDrawsTheDirtyPartOnTheNextTurnAndPresentsIt)
{
    LogWindow* window = openWindow(epiRect(0, 0, 40, 30));
    auto* child = addChild(*window, new PaintChild(0xFF0000FF), epiRect(10, 10, 20, 20));
    app.settle();
    const auto& screen = native(window).screen();
    EXPECT_EQ(screen[15 * 40 + 15], 0x0000FFu);
    EXPECT_EQ(screen[5 * 40 + 5], 0xFFFFFFu);
    const int draws = child->draws;
    app.settle();
    EXPECT_EQ(child->draws, draws); // nothing dirty: nothing drawn
    child->colour.setPacked(0xFF00FF00);
    child->redraw();
    EXPECT_EQ(screen[15 * 40 + 15], 0x0000FFu); // not before the next turn
    app.settle();
    EXPECT_EQ(screen[15 * 40 + 15], 0x00FF00u);
    EXPECT_TRUE(child->clips.back().equalsEdges(0, 0, 10, 10));
}

} // namespace
