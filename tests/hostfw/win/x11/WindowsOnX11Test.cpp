#include <gtest/gtest.h>

#include "tests/hostfw/win/WinTestSupport.h"

#include "hostfw/app/epiMenu.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/win/epiPopupList.h"
#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/platform/x11/SharedXvfb.h"

#include <chrono>
#include <functional>
#include <thread>

#include "support/TempFolder.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include "tests/platform/x11/X11Probe.h"

namespace pui = platform::ui;
using test::win::addChild;
using test::win::LogWindow;
using test::win::PaintChild;
using test::win::WinApp;

namespace {

const char* kMarker = "<epi><version>4</version><signature>epiResourceFile</signature></epi>";
// A window with a filled, framed panel and a strip of colour in a bitmap
// view container.
#define VISIBLE "<attribute><name>visi</name><value>1</value></attribute>"
const char* kLayout =
    "<epi><content><name>main</name><position>40,50</position><size>120,80</size>"
    "<attributes><attribute><name>aupo</name><value>0</value></attribute>"
    "<attribute><name>grBk</name><value>1</value></attribute></attributes><itemslist>"
    "<item><name>pan1</name><kind>iBde</kind><position>10,10</position><size>50,30</size>"
    "<attributes>" VISIBLE "<attribute><name>Fiof</name><value>0,0,255</value></attribute>"
    "<attribute><name>frof</name><value>255,0,0</value></attribute>"
    "<attribute><name>frnd</name><value>1</value></attribute>"
    "<attribute><name>frov</name><value>1</value></attribute></attributes></item>"
    "<item><name>pan2</name><kind>iBco</kind><position>70,20</position><size>40,40</size>"
    "<attributes>" VISIBLE "<attribute><name>chil</name><value>strip.xml</value></attribute>"
    "</attributes></item>"
    "</itemslist></content></epi>";

// The bitmap view container's own children.
const char* kStrip = "<epi><content><itemslist><item><name>pan3</name><kind>iBde</kind>"
                     "<position>5,5</position><size>20,10</size><attributes>" VISIBLE
                     "<attribute><name>Fiof</name><value>0,200,100</value></attribute>"
                     "</attributes></item></itemslist></content></epi>";

struct WindowsOnX11Test : ::testing::Test {
    void SetUp() override
    {
        if (!test::x11::sharedXvfb().running())
            GTEST_SKIP() << "Xvfb is not available";
        system = pui::X11WindowSystem::open();
        ASSERT_TRUE(system);
        other = XOpenDisplay(nullptr);
        ASSERT_NE(other, nullptr);
        app = std::make_unique<WinApp>(system.get());
        epiWindowApplication::registerUiKind(epiCode("iWin"),
                                             []() -> epiObject* { return new LogWindow; });
        temp.write("Rig.frs/epi.frs", kMarker);
        temp.write("Rig.frs/layouts/main.xml", kLayout);
        temp.write("Rig.frs/layouts/strip.xml", kStrip);
        ASSERT_TRUE(app->getResources()->openSourceFile(epiPath(temp.path("Rig.frs"))));
    }
    void TearDown() override
    {
        app.reset();
        system.reset();
        if (other)
            XCloseDisplay(other);
    }

    LogWindow* openMain()
    {
        auto* window = dynamic_cast<LogWindow*>(app->openWindowFromLayout("main.xml"));
        EXPECT_TRUE(window && window->hostWindow());
        return window;
    }
    // Turns of the loop until `done` holds.
    bool turnUntil(const std::function<bool()>& done)
    {
        return test::x11::turnUntil(
            {other, system->display()}, [this] { app->settle(4); }, done);
    }
    void click(int rootX, int rootY) { test::x11::click(other, rootX, rootY); }
    std::vector<std::uint32_t> readBack(Window window, int width, int height)
    {
        return test::x11::readBack(other, window, width, height);
    }

    testsupport::TempFolder temp;
    std::unique_ptr<pui::X11WindowSystem> system;
    std::unique_ptr<WinApp> app;
    Display* other = nullptr;
};

TEST_F(WindowsOnX11Test, LayoutWindowShowsItsChildrenAsTheHeadlessTwinDoes)
{
    LogWindow* window = openMain();
    ASSERT_TRUE(window);
    auto& native = static_cast<pui::X11HostWindow&>(*window->hostWindow());
    ASSERT_TRUE(turnUntil([&] {
        const auto shown = readBack(native.client(), 120, 80);
        return !shown.empty() && shown[25 * 120 + 30] == 0x0000FF;
    }));
    const std::vector<std::uint32_t> shown = readBack(native.client(), 120, 80);

    // The same layout on the headless back end.
    WinApp twinApp;
    epiWindowApplication::registerUiKind(epiCode("iWin"),
                                         []() -> epiObject* { return new LogWindow; });
    ASSERT_TRUE(twinApp.getResources()->openSourceFile(epiPath(temp.path("Rig.frs"))));
    auto* twin = dynamic_cast<LogWindow*>(twinApp.openWindowFromLayout("main.xml"));
    ASSERT_TRUE(twin && twin->hostWindow());
    twinApp.settle();
    auto& headless = static_cast<pui::HeadlessWindow&>(*twin->hostWindow());
    const std::vector<std::uint32_t> expected = headless.screen();

    EXPECT_EQ(shown[5 * 120 + 5], 0xF0F0F0u);   // the grey background
    EXPECT_EQ(shown[10 * 120 + 30], 0xFF0000u); // the panel's top edge
    EXPECT_EQ(shown[25 * 120 + 10], 0xFF0000u); // and its left edge
    EXPECT_EQ(shown[30 * 120 + 80], 0x00C864u); // inside the bitmap view container
    int mismatches = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
        mismatches += shown[i] != expected[i];
    EXPECT_EQ(mismatches, 0);
    const std::string dir = testing::TempDir();
    EXPECT_TRUE(platform::window::writePng(dir + "layout-window-x11.png", shown.data(), 120, 80));
    EXPECT_TRUE(
        platform::window::writePng(dir + "layout-window-headless.png", expected.data(), 120, 80));
}

TEST_F(WindowsOnX11Test, ClickReachesTheChildAndItsHitReachesTheWindow)
{
    LogWindow* window = openMain();
    ASSERT_TRUE(window);
    auto* child = addChild(*window, new PaintChild, epiRect(70, 65, 110, 75), epiCode("kid1"));
    ASSERT_TRUE(turnUntil([&] { return window->log.size() > 0; })); // activated
    click(40 + 75, 50 + 68);
    ASSERT_TRUE(turnUntil([&] { return !child->log.empty(); }));
    EXPECT_EQ(child->log.front(), "down 5,3");
    ASSERT_FALSE(window->commands.empty());
    EXPECT_EQ(window->commands.front(), epiCode("kid1"));
}

TEST_F(WindowsOnX11Test, CloseRequestFromTheWindowManagerEndsTheMessageLoop)
{
    LogWindow* window = openMain();
    ASSERT_TRUE(window);
    epiWindowManager* manager = app->getWindowManager();
    manager->setQuitOnLastWindow(true);
    auto& native = static_cast<pui::X11HostWindow&>(*window->hostWindow());
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = native.outer();
    request.xclient.message_type = XInternAtom(other, "WM_PROTOCOLS", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = static_cast<long>(XInternAtom(other, "WM_DELETE_WINDOW", False));
    XSendEvent(other, native.outer(), False, NoEventMask, &request);
    XSync(other, False);
    // A bound on the loop, so that a lost request fails instead of hanging.
    int turns = 0;
    manager->addTurnHook([&] {
        if (++turns > 20000)
            manager->quit();
    });
    manager->runMessageLoop();
    EXPECT_LE(turns, 20000);
    EXPECT_FALSE(window->hostWindow());
    EXPECT_EQ(window->log.back(), "close");
    window->exit();
}

TEST_F(WindowsOnX11Test, EditorOfAnotherClientSitsAtTheClientOriginBelowTheMenuStrip)
{
    ASSERT_TRUE(app->getMenu()->buildFromText(
        epiText("<epi><content><menulist><item><text>File</text><menulist><item><text>Quit"
                "</text><name>quit</name></item></menulist></item></menulist></content></epi>")));
    auto* window = new LogWindow;
    window->enableReferenceCount();
    window->setAttribute(epiCode("aupo"), 0);
    window->setAttribute(epiCode("mBar"), 1);
    window->setRect(epiRect(30, 60, 230, 160));
    ASSERT_TRUE(window->openAs(app.get(), epiCode("plug")));
    auto* child = addChild(*window, new PaintChild, epiRect(0, 0, 200, 100));
    // What the editor does with the id it is given as its parent.
    const auto parent = reinterpret_cast<std::uintptr_t>(window->nativeHandle());
    const Window editor = XCreateSimpleWindow(other, parent, 0, 0, 100, 50, 0, 0, 0);
    XSelectInput(other, editor, ExposureMask | ButtonPressMask);
    XMapWindow(other, editor);
    XSync(other, False);
    bool exposed = false;
    int pressX = -1, pressY = -1;
    const auto drain = [&] {
        while (XPending(other)) {
            XEvent event;
            XNextEvent(other, &event);
            exposed = exposed || (event.type == Expose && event.xexpose.window == editor);
            if (event.type == ButtonPress && event.xbutton.window == editor) {
                pressX = event.xbutton.x;
                pressY = event.xbutton.y;
            }
        }
    };
    ASSERT_TRUE(turnUntil([&] {
        drain();
        return exposed;
    }));
    Window root = 0, unused = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(other, editor, DefaultRootWindow(other), 0, 0, &x, &y, &unused);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 60);
    (void)root;
    click(31, 62);
    ASSERT_TRUE(turnUntil([&] {
        drain();
        return pressX >= 0;
    }));
    EXPECT_EQ(pressX, 1);
    EXPECT_EQ(pressY, 2);
    EXPECT_TRUE(child->log.empty()); // the editor's window took the press
    // Past the editor, the press is the framework's, at client coordinates.
    click(30 + 150, 60 + 70);
    ASSERT_TRUE(turnUntil([&] { return !child->log.empty(); }));
    EXPECT_EQ(child->log.front(), "down 150,70");
}

} // namespace

namespace {

std::vector<epiPopupListItem> listRows()
{
    std::vector<epiPopupListItem> rows(5);
    rows[0].label = "Open...\tCtrl+O";
    rows[0].id = 1;
    rows[1] = epiPopupListItem::makeSeparator();
    rows[2].label = "Greyed";
    rows[2].enabled = false;
    rows[3].label = "Recent";
    rows[3].subItems.resize(1);
    rows[3].subItems[0].label = "take one.wav";
    rows[4].label = "Quit";
    rows[4].id = 5;
    return rows;
}

} // namespace

TEST_F(WindowsOnX11Test, PopupListShowsAsItsHeadlessTwinAndTakesAClick)
{
    LogWindow* window = openMain();
    ASSERT_TRUE(window);
    auto* owner = addChild(*window, new PaintChild, epiRect(5, 5, 25, 25));
    ASSERT_TRUE(turnUntil([&] { return window->log.size() > 0; })); // activated
    epiPopupList list;
    list.setItems(listRows());
    list.setMarked(0);
    int chosen = 0;
    list.onChosen([&](const epiPopupList::Choice& choice) { chosen = choice.id; });
    ASSERT_TRUE(list.openAt(*owner, {200, 150}));
    epiUiEventsBase* shown = list.window(0);
    const int width = shown->getWidth(), height = shown->getHeight();
    auto& native = static_cast<pui::X11HostWindow&>(*shown->hostWindow());
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(turnUntil([&] {
        pixels = readBack(native.client(), width, height);
        // The marked first row's blue.
        return !pixels.empty() && pixels[5 * width + width - 4] == 0x3D6FB4u;
    }));
    list.close();

    WinApp twinApp;
    test::win::LogWindow twinWindow;
    twinWindow.setAttribute(epiCode("aupo"), 0);
    twinWindow.setRect(epiRect(40, 50, 160, 130));
    twinWindow.openAs(&twinApp, epiCode("twin"));
    ASSERT_TRUE(list.openAt(twinWindow, {200, 150}));
    twinApp.settle();
    const std::vector<std::uint32_t> expected =
        static_cast<pui::HeadlessWindow&>(*list.window(0)->hostWindow()).screen();
    list.close();
    twinWindow.close();
    EXPECT_EQ(pixels, expected);
    const std::string dir = testing::TempDir();
    EXPECT_TRUE(
        platform::window::writePng(dir + "popup-list-x11.png", pixels.data(), width, height));
    EXPECT_TRUE(platform::window::writePng(dir + "popup-list-headless.png", expected.data(), width,
                                           height));

    // A real click on the last row chooses it.
    ASSERT_TRUE(list.openAt(*owner, {200, 150}));
    ASSERT_TRUE(turnUntil([&] { return list.window(0)->hostWindow()->visible(); }));
    click(210, 150 + height - 12);
    ASSERT_TRUE(turnUntil([&] { return !list.isOpen(); }));
    EXPECT_EQ(chosen, 5);
}
