#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
// After the window system: Xlib's macros take names its header uses.
#include "platform/window/X11Errors.h"
#include "platform/x11/X11ErrorReport.h"
#include "tests/platform/headless/RecordingSink.h"
#include "tests/platform/x11/SharedXvfb.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include "tests/platform/x11/X11Probe.h"

#include <X11/Xatom.h>

namespace pui = platform::ui;
using test::ui::pumpAll;
using test::ui::RecordingSink;

namespace {

constexpr int kW = 97, kH = 61;

// Colour bars over a grey ramp with a coloured frame: rows, columns and
// channels that land wrong show.
std::vector<std::uint32_t> pattern()
{
    static const std::uint32_t bars[] = {0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF, 0xFF00FF00,
                                         0xFFFF00FF, 0xFFFF0000, 0xFF0000FF, 0x80102030};
    std::vector<std::uint32_t> pixels(kW * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t grey = static_cast<std::uint32_t>(x * 255 / (kW - 1));
            std::uint32_t p = y < kH / 2 ? bars[x * 8 / kW] : 0xFF000000 | grey * 0x010101u;
            if (x == 0 || y == 0 || x == kW - 1 || y == kH - 1)
                p = 0xFF00FF00 | static_cast<std::uint32_t>(x + y);
            pixels[static_cast<std::size_t>(y * kW + x)] = p;
        }
    return pixels;
}

class X11WindowSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!test::x11::sharedXvfb().running())
            GTEST_SKIP() << "Xvfb is not available";
        system = pui::X11WindowSystem::open();
        ASSERT_TRUE(system);
        other = XOpenDisplay(nullptr);
        ASSERT_NE(other, nullptr);
    }
    void TearDown() override
    {
        windows.clear();
        system.reset();
        if (other)
            XCloseDisplay(other);
    }

    pui::X11HostWindow& open(pui::WindowOptions options, RecordingSink& to)
    {
        auto window = system->createWindow(options, to);
        EXPECT_TRUE(window);
        windows.push_back(std::move(window));
        return static_cast<pui::X11HostWindow&>(*windows.back());
    }
    pui::X11HostWindow& openShown(const pui::Rect& frame, RecordingSink& to, bool strip = false)
    {
        pui::WindowOptions options;
        options.frame = frame;
        options.menuStrip = strip;
        pui::X11HostWindow& window = open(options, to);
        window.show(true);
        EXPECT_TRUE(pumpUntil([&] { return to.saw("focus in"); }));
        return window;
    }

    // Pumps the layer until `done` holds.
    bool pumpUntil(const std::function<bool()>& done)
    {
        return test::x11::turnUntil(
            {other, system->display()}, [this] { pumpAll(*system); }, done);
    }
    void settle()
    {
        for (int i = 0; i < 20; ++i) {
            XSync(other, False);
            XSync(system->display(), False);
            pumpAll(*system);
        }
    }
    void click(int rootX, int rootY) { test::x11::click(other, rootX, rootY); }

    std::unique_ptr<pui::X11WindowSystem> system;
    std::vector<std::unique_ptr<pui::HostWindow>> windows;
    Display* other = nullptr;
};

TEST_F(X11WindowSystemTest, PresentedPixelsMatchTheHeadlessScreenChannelForChannel)
{
    const std::vector<std::uint32_t> pixels = pattern();
    RecordingSink sink;
    pui::X11HostWindow& window = openShown({10, 10, kW, kH}, sink);
    ASSERT_TRUE(pumpUntil([&] { return sink.saw("expose 0,0,97,61"); }));
    window.present(pixels.data(), kW, {0, 0, kW, kH});
    XSync(system->display(), False);

    pui::HeadlessWindowSystem headless;
    RecordingSink headlessSink;
    pui::WindowOptions options;
    options.frame = {10, 10, kW, kH};
    auto twin = headless.createWindow(options, headlessSink);
    twin->present(pixels.data(), kW, {0, 0, kW, kH});
    const auto& screen = static_cast<pui::HeadlessWindow&>(*twin).screen();

    const std::vector<std::uint32_t> shown = test::x11::readBack(other, window.client(), kW, kH);
    ASSERT_EQ(shown.size(), pixels.size());
    int mismatches = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
        mismatches += shown[i] != screen[i] || shown[i] != (pixels[i] & 0xFFFFFF);
    EXPECT_EQ(mismatches, 0);
    const std::string dir = testing::TempDir();
    EXPECT_TRUE(platform::window::writePng(dir + "host-window-x11.png", shown.data(), kW, kH));
    EXPECT_TRUE(
        platform::window::writePng(dir + "host-window-headless.png", screen.data(), kW, kH));
}

TEST_F(X11WindowSystemTest, ClickReachesTheClientAreaAndAGrabKeepsTheMotion)
{
    RecordingSink sink;
    pui::X11HostWindow& window = openShown({40, 50, 100, 80}, sink);
    sink.calls.clear();
    click(45, 56);
    ASSERT_TRUE(pumpUntil([&] { return sink.saw("up 5,6"); }));
    EXPECT_TRUE(sink.saw("down 5,6"));

    window.grabPointer();
    EXPECT_TRUE(window.grabbing());
    XTestFakeMotionEvent(other, DefaultScreen(other), 300, 20, CurrentTime);
    EXPECT_TRUE(pumpUntil([&] { return sink.saw("move 260,-30"); }));
    window.releasePointer();
    EXPECT_FALSE(window.grabbing());
}

TEST_F(X11WindowSystemTest, DisabledWindowReceivesNoClick)
{
    RecordingSink sink;
    pui::X11HostWindow& window = openShown({40, 50, 100, 80}, sink);
    system->enableWindow(window.handle(), false);
    sink.calls.clear();
    click(45, 56);
    settle();
    EXPECT_TRUE(sink.calls.empty()) << sink.calls.front();
}

TEST_F(X11WindowSystemTest, DeleteWindowRequestAndMovesReachTheSink)
{
    RecordingSink sink;
    pui::X11HostWindow& window = openShown({40, 50, 100, 80}, sink);
    XMoveResizeWindow(other, window.outer(), 70, 90, 120, 60);
    ASSERT_TRUE(pumpUntil([&] { return sink.saw("resized 120,60"); }));
    EXPECT_TRUE(sink.saw("moved 70,90"));
    EXPECT_EQ(window.frame(), (pui::Rect{70, 90, 120, 60}));

    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window.outer();
    request.xclient.message_type = XInternAtom(other, "WM_PROTOCOLS", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = static_cast<long>(XInternAtom(other, "WM_DELETE_WINDOW", False));
    XSendEvent(other, window.outer(), False, NoEventMask, &request);
    EXPECT_TRUE(pumpUntil([&] { return sink.saw("close"); }));
}

TEST_F(X11WindowSystemTest, FocusMovesToTheWindowShownOrPressedLast)
{
    RecordingSink first, second;
    openShown({10, 10, 50, 50}, first);
    openShown({100, 10, 50, 50}, second);
    EXPECT_TRUE(pumpUntil([&] { return first.saw("focus out"); }));
    first.calls.clear();
    click(20, 20);
    EXPECT_TRUE(pumpUntil([&] { return first.saw("focus in"); }));
    EXPECT_TRUE(pumpUntil([&] { return second.calls.back() == "focus out"; }));
}

TEST_F(X11WindowSystemTest, MenuStripSitsAboveTheClientAreaAndTakesPressesAboveIt)
{
    RecordingSink sink;
    pui::X11HostWindow& window = openShown({50, 60, 100, 80}, sink, true);
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(other, window.client(), &root, &x, &y, &width, &height, &border, &depth);
    EXPECT_EQ(y, pui::WindowSystem::kMenuStripHeight);
    EXPECT_EQ(height, 80u);
    XTranslateCoordinates(other, window.client(), root, 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    EXPECT_EQ(window.frame(), (pui::Rect{50, 60, 100, 80}));
    sink.calls.clear();
    click(55, 50); // in the strip
    click(55, 65);
    ASSERT_TRUE(pumpUntil([&] { return sink.saw("up 5,5"); }));
    std::vector<std::string> presses;
    for (const std::string& call : sink.calls)
        if (call.rfind("down", 0) == 0)
            presses.push_back(call);
    // The strip's press reaches the window above its client area, where the
    // menu bar takes it.
    EXPECT_EQ(presses, (std::vector<std::string>{"down 5,-10", "down 5,5"}));
}

TEST_F(X11WindowSystemTest, SecondClientWindowInsideTheClientAreaGetsItsOwnEvents)
{
    RecordingSink sink;
    pui::X11HostWindow& window = openShown({40, 50, 200, 150}, sink, true);
    // What the editor does with the id it is given as its parent.
    const Window editor = XCreateSimpleWindow(other, window.nativeId(), 10, 20, 100, 80, 0, 0, 0);
    XSelectInput(other, editor, ExposureMask | ButtonPressMask);
    XMapWindow(other, editor);
    XSync(other, False);
    bool exposed = false, pressed = false;
    int pressX = -1, pressY = -1;
    const auto drain = [&] {
        while (XPending(other)) {
            XEvent event;
            XNextEvent(other, &event);
            exposed = exposed || (event.type == Expose && event.xexpose.window == editor);
            if (event.type == ButtonPress && event.xbutton.window == editor) {
                pressed = true;
                pressX = event.xbutton.x;
                pressY = event.xbutton.y;
            }
        }
        return exposed && pressed;
    };
    ASSERT_TRUE(pumpUntil([&] {
        drain();
        return exposed;
    }));
    sink.calls.clear();
    click(40 + 10 + 3, 50 + 20 + 4);
    ASSERT_TRUE(pumpUntil(drain));
    EXPECT_EQ(pressX, 3);
    EXPECT_EQ(pressY, 4);
    EXPECT_FALSE(sink.saw("down 13,24"));
}

TEST_F(X11WindowSystemTest, PropertiesCarryTheOptionsOwnerAndModalState)
{
    RecordingSink ownerSink, modalSink, popupSink;
    pui::X11HostWindow& owner = openShown({10, 10, 100, 80}, ownerSink);
    pui::WindowOptions options;
    options.frame = {30, 30, 60, 40};
    options.modal = true;
    options.className = "epiWndClass_0007";
    options.decorations = pui::Decorations::Plain;
    options.resizableX = false;
    pui::X11HostWindow& modal = open(options, modalSink);
    modal.setOwner(&owner);
    pui::WindowOptions popupOptions;
    popupOptions.kind = pui::WindowKind::Popup;
    popupOptions.frame = {200, 200, 50, 50};
    pui::X11HostWindow& popup = open(popupOptions, popupSink);
    popup.show(true);
    settle();

    Window transientFor = 0;
    ASSERT_TRUE(XGetTransientForHint(other, modal.outer(), &transientFor));
    EXPECT_EQ(transientFor, owner.outer());
    XClassHint classHint{};
    ASSERT_TRUE(XGetClassHint(other, modal.outer(), &classHint));
    EXPECT_STREQ(classHint.res_class, "epiWndClass_0007");
    XFree(classHint.res_name);
    XFree(classHint.res_class);
    const auto atoms = [&](Window window, const char* name) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(other, window, XInternAtom(other, name, False), 0, 16, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
            data) {
            const auto* words = reinterpret_cast<const long*>(data);
            values.assign(words, words + count);
        }
        if (data)
            XFree(data);
        return values;
    };
    const std::vector<long> state = atoms(modal.outer(), "_NET_WM_STATE");
    ASSERT_EQ(state.size(), 1u);
    EXPECT_EQ(static_cast<Atom>(state[0]), XInternAtom(other, "_NET_WM_STATE_MODAL", False));
    const std::vector<long> motif = atoms(modal.outer(), "_MOTIF_WM_HINTS");
    ASSERT_EQ(motif.size(), 5u);
    EXPECT_EQ(motif[2], 0); // no decorations for a plain window
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(other, modal.outer(), &hints, &supplied));
    EXPECT_EQ(hints.min_width, 60);
    EXPECT_EQ(hints.max_width, 60);

    XWindowAttributes attributes{};
    XGetWindowAttributes(other, popup.outer(), &attributes);
    EXPECT_TRUE(attributes.override_redirect);
    // A pop-up does not take the focus from the window that has it.
    EXPECT_FALSE(popupSink.saw("focus in"));
    EXPECT_FALSE(ownerSink.saw("focus out"));
}

TEST_F(X11WindowSystemTest, ErrorsAreReportedAndTheProgramGoesOnAlsoBehindTheEditorsHandler)
{
    Display* host = system->display();
    const unsigned long before = pui::x11::errorCount(host);
    testing::internal::CaptureStderr();
    XMapWindow(host, 0x1234567); // no such window
    XSync(host, False);
    EXPECT_EQ(pui::x11::errorCount(host), before + 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("X error: BadWindow"), std::string::npos);

    // The editor, loaded later, installs its handler over the host's and
    // passes on the errors of connections other than its own.
    Display* editor = XOpenDisplay(nullptr);
    ASSERT_NE(editor, nullptr);
    platform::window::x11errors::attach(editor);
    testing::internal::CaptureStderr();
    XMapWindow(host, 0x1234567);
    XSync(host, False);
    XMapWindow(editor, 0x1234567);
    XSync(editor, False);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(pui::x11::errorCount(host), before + 2);
    EXPECT_EQ(platform::window::x11errors::count(editor), 1u);
    platform::window::x11errors::detach(editor);
    XCloseDisplay(editor);
}

// The source side of a drag from a file manager, on the test's connection.
TEST_F(X11WindowSystemTest, FilesDroppedFromAnotherClientArriveWithTheDropPoint)
{
    RecordingSink sink;
    pui::WindowOptions options;
    options.frame = {40, 50, 200, 150};
    options.acceptsFiles = true;
    pui::X11HostWindow& window = open(options, sink);
    window.show(true);
    ASSERT_TRUE(pumpUntil([&] { return sink.saw("focus in"); }));

    const Atom selection = XInternAtom(other, "XdndSelection", False);
    const Atom uriList = XInternAtom(other, "text/uri-list", False);
    const Window source = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(other, selection, source, CurrentTime);
    const auto send = [&](const char* type, long l1, long l2, long l3) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window.outer();
        event.xclient.message_type = XInternAtom(other, type, False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(source);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        XSendEvent(other, window.outer(), False, NoEventMask, &event);
    };
    send("XdndEnter", 5L << 24, static_cast<long>(uriList), 0);
    send("XdndPosition", 0, (40 + 7) << 16 | (50 + 9), CurrentTime);
    send("XdndDrop", 0, CurrentTime, 0);
    XSync(other, False);

    const std::string list = "file:///tmp/one.wav\r\nfile:///tmp/two%20b.wav\r\n";
    bool finished = false, statusAccepted = false;
    const auto serve = [&] {
        while (XPending(other)) {
            XEvent event;
            XNextEvent(other, &event);
            if (event.type == SelectionRequest) {
                const XSelectionRequestEvent& request = event.xselectionrequest;
                XChangeProperty(other, request.requestor, request.property, request.target, 8,
                                PropModeReplace,
                                reinterpret_cast<const unsigned char*>(list.data()),
                                static_cast<int>(list.size()));
                XEvent notify{};
                notify.xselection.type = SelectionNotify;
                notify.xselection.requestor = request.requestor;
                notify.xselection.selection = request.selection;
                notify.xselection.target = request.target;
                notify.xselection.property = request.property;
                notify.xselection.time = request.time;
                XSendEvent(other, request.requestor, False, NoEventMask, &notify);
            } else if (event.type == ClientMessage) {
                const char* name = XGetAtomName(other, event.xclient.message_type);
                const std::string type = name ? name : "";
                XFree(const_cast<char*>(name));
                statusAccepted |= type == "XdndStatus" && (event.xclient.data.l[1] & 1);
                finished |= type == "XdndFinished" && event.xclient.data.l[1] == 1;
            }
        }
        return finished;
    };
    ASSERT_TRUE(pumpUntil(serve));
    EXPECT_TRUE(statusAccepted);
    EXPECT_TRUE(sink.saw("drop 7,9 /tmp/one.wav /tmp/two b.wav"));
}

} // namespace
