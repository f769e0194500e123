#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "editor/graphics/Painter.h"
#include "editor/graphics/Window.h"
#include "platform/window/Native.h"
#include "platform/window/Png.h"
#include "tests/editor/graphics/RecordingReceiver.h"
#include "tests/editor/x11/XvfbServer.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using Zq::Application::Graphics::BasicRect;
using Zq::Application::Graphics::Painter;
// Xlib's Window is the id; the editor's window goes by this name here.
using EditorWindow = Zq::Application::Graphics::Window;
using test::editor::RecordingReceiver;
namespace pw = platform::window;

namespace {

int errorsSeen = 0;
int countingHandler(Display*, XErrorEvent*)
{
    ++errorsSeen;
    return 0;
}

constexpr int kX = 30, kY = 40, kW = 851, kH = 510;

// A receiver painting a test pattern: colour bars over a grey ramp, a frame
// and a diagonal, so rows, columns and channels that land wrong show.
class PatternReceiver : public RecordingReceiver {
public:
    void paint(Painter* painter, const BasicRect<int>& area) override
    {
        RecordingReceiver::paint(painter, area);
        static const std::uint32_t bars[] = {0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF, 0xFF00FF00,
                                             0xFFFF00FF, 0xFFFF0000, 0xFF0000FF, 0xFF000000};
        for (int i = 0; i < 8; ++i)
            painter->fillRect(bars[i], {i * kW / 8, 0, (i + 1) * kW / 8 - i * kW / 8, kH / 2});
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t grey = static_cast<std::uint32_t>(x * 255 / (kW - 1));
            painter->drawVerticalLine(0xFF000000 | grey << 16 | grey << 8 | grey, {x, kH / 2},
                                      kH / 2);
        }
        painter->drawHorizontalLine(0xFFFF0000, {0, 0}, kW);
        painter->drawHorizontalLine(0xFF00FF00, {0, kH - 1}, kW);
        painter->drawVerticalLine(0xFF0000FF, {0, 0}, kH);
        painter->drawVerticalLine(0xFFFFFF00, {kW - 1, 0}, kH);
        for (int i = 0; i < kH; ++i)
            painter->fillRect(0xFF102030, {i * kW / kH, i, 2, 1});
    }
};

class X11WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<test::x11::XvfbServer>();
        if (!server->running())
            GTEST_SKIP() << "Xvfb is not available";
        pw::setBackend(pw::Backend::X11);
        errorsSeen = 0;
        previousHandler = XSetErrorHandler(countingHandler);
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        const int screen = DefaultScreen(display);
        parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 1000, 700, 0,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override
    {
        window.reset();
        if (display) {
            XCloseDisplay(display);
            // The layer put back the handler it found: the test's own.
            EXPECT_EQ(XSetErrorHandler(previousHandler), countingHandler);
            EXPECT_EQ(errorsSeen, 0) << "an X error reached the process";
        }
        pw::setBackend(pw::Backend::Default);
    }

    void open(unsigned long* parentId)
    {
        window = std::make_unique<EditorWindow>(&receiver, parentId, BasicRect<int>{kX, kY, kW, kH},
                                                true, true, nullptr);
    }
    ::Window child() { return *static_cast<unsigned long*>(window->getWindowHandle()); }

    // Pumps until `done` holds, syncing the test's connection first; the X
    // server answers asynchronously, so this waits for events, bounded.
    bool pumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 2000; ++i) {
            XSync(display, False);
            if (window)
                window->pump();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // A few more rounds, for anything still on its way.
    void settle()
    {
        for (int i = 0; i < 20; ++i) {
            XSync(display, False);
            window->pump();
        }
    }
    void key(KeySym keysym)
    {
        const KeyCode code = XKeysymToKeycode(display, keysym);
        ASSERT_NE(code, 0) << keysym;
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }

    std::unique_ptr<test::x11::XvfbServer> server;
    PatternReceiver receiver;
    XErrorHandler previousHandler = nullptr;
    Display* display = nullptr;
    ::Window parent = 0;
    std::unique_ptr<EditorWindow> window;
};

bool contains(const std::vector<std::string>& calls, const std::string& call)
{
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

} // namespace

TEST_F(X11WindowTest, AChildAtItsPlaceShowsTheBufferTopRowFirst)
{
    open(&parent);
    XSync(display, False);
    ::Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(display, child(), &root, &up, &children, &count));
    if (children)
        XFree(children);
    EXPECT_EQ(up, parent);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, child(), &attributes));
    EXPECT_EQ(attributes.x, kX);
    EXPECT_EQ(attributes.y, kY);
    EXPECT_EQ(attributes.width, kW);
    EXPECT_EQ(attributes.height, kH);

    ASSERT_TRUE(pumpUntil([&] { return !receiver.painted.empty(); }));
    XSync(display, False);

    // What the receiver drew, rendered again into a buffer of our own.
    std::vector<std::uint32_t> expected(kW * kH, 0);
    Painter painter({kW, kH}, kW * 4, expected.data());
    PatternReceiver().paint(&painter, {0, 0, kW, kH});

    XImage* image = XGetImage(display, child(), 0, 0, kW, kH, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    std::vector<std::uint32_t> shown(kW * kH);
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            shown[y * kW + x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
            wrong += shown[y * kW + x] != (expected[y * kW + x] & 0xFFFFFF);
        }
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0);
    const char* dir = std::getenv("RIG_SCREENSHOT_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/editor-x11-pattern.png";
    EXPECT_TRUE(pw::writePng(path, shown.data(), kW, kH)) << path;
}

TEST_F(X11WindowTest, PointerAndKeysArriveAsEditorCodes)
{
    open(&parent);
    ASSERT_TRUE(pumpUntil([&] { return !receiver.painted.empty(); }));
    receiver.take();

    // Control held, a press, a drag and a release; the wheel sends nothing.
    XTestFakeMotionEvent(display, DefaultScreen(display), kX + 100, kY + 50, CurrentTime);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Control_L), True, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeMotionEvent(display, DefaultScreen(display), kX + 120, kY + 60, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Control_L), False, CurrentTime);
    XTestFakeButtonEvent(display, 4, True, CurrentTime);
    XTestFakeButtonEvent(display, 4, False, CurrentTime);
    // Events arrive in order: once this last move is in, everything before it is.
    XTestFakeMotionEvent(display, DefaultScreen(display), kX + 1, kY + 1, CurrentTime);
    ASSERT_TRUE(pumpUntil([&] { return contains(receiver.calls, "move 1,1 0"); }));
    std::vector<std::string> mouse;
    for (const auto& c : receiver.calls)
        if (c != "begin" && c != "end" && c != "timer" && c.rfind("paint", 0) != 0)
            mouse.push_back(c);
    EXPECT_EQ(mouse, (std::vector<std::string>{"move 100,50 0", "down 100,50 1 9", "move 120,60 9",
                                               "up 120,60 1 8", "move 1,1 0"}));
    receiver.take();

    window->takeKeyboard();
    pumpUntil([&] {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        return focus == child();
    });
    for (KeySym k : {XK_a, XK_BackSpace, XK_Left, XK_KP_Enter, XK_Prior, XK_z})
        key(k);
    ASSERT_TRUE(pumpUntil([&] { return contains(receiver.calls, "key 0 122 0"); }));
    std::vector<std::string> keys;
    for (const auto& c : receiver.calls)
        if (c.rfind("key", 0) == 0)
            keys.push_back(c);
    // Page Up sends nothing.
    EXPECT_EQ(keys, (std::vector<std::string>{"key 0 97 0", "key 1 0 0", "key 6 0 0", "key 5 0 0",
                                              "key 0 122 0"}));

    window->releaseKeyboard();
    pumpUntil([&] {
        ::Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        return focus != child();
    });
}

TEST_F(X11WindowTest, DestroyingTheParentFirstFiresClosedOnce)
{
    open(&parent);
    int fired = 0;
    window->closed.connect([&](EditorWindow*) { ++fired; });
    ASSERT_TRUE(pumpUntil([&] { return !receiver.painted.empty(); }));
    XDestroyWindow(display, parent);
    ASSERT_TRUE(pumpUntil([&] { return fired > 0; }));
    EXPECT_EQ(child(), 0ul);
    window->invalidate({0, 0, 10, 10});
    window->takeKeyboard();
    settle();
    EXPECT_EQ(fired, 1);
}

// Xlib connections are not shared between threads here: a host pumping the
// window from a thread other than the one that opened it is stopped in a
// debugging build, and told in a release build, where the window makes no
// Xlib call for it and goes on working on its own thread.
TEST_F(X11WindowTest, APumpOffTheWindowsThreadIsCaught)
{
    open(&parent);
    ASSERT_TRUE(pumpUntil([&] { return !receiver.painted.empty(); }));
#ifndef NDEBUG
    EXPECT_DEATH(std::thread([&] { window->pump(); }).join(),
                 "poll called off the thread that pumps the window");
#else
    testing::internal::CaptureStderr();
    std::thread([&] { window->pump(); }).join();
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "poll called off the thread that pumps the window"),
              std::string::npos);
    const std::size_t painted = receiver.painted.size();
    window->invalidate({0, 0, 10, 10});
    EXPECT_TRUE(pumpUntil([&] { return receiver.painted.size() > painted; }));
#endif
}

TEST_F(X11WindowTest, ATopLevelWindowClosedByTheUserFiresClosed)
{
    open(nullptr);
    int fired = 0;
    window->closed.connect([&](EditorWindow*) { ++fired; });
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(display, child(), &name));
    EXPECT_STREQ(name, "Zq GUI");
    XFree(name);
    // What a window manager sends for its close button.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = child();
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, child(), False, NoEventMask, &close);
    ASSERT_TRUE(pumpUntil([&] { return fired > 0; }));
    settle();
    EXPECT_EQ(fired, 1);
}

TEST_F(X11WindowTest, NoParentWindowOrNoDisplayGivesNoWindow)
{
    unsigned long madeUp = 0x1234;
    testing::internal::CaptureStderr();
    open(&madeUp);
    EXPECT_EQ(child(), 0ul);
    window->invalidate({0, 0, 851, 510});
    window->takeKeyboard();
    window->pump();
    window.reset();

    const std::string saved = std::getenv("DISPLAY");
    setenv("DISPLAY", ":9999", 1); // nothing listens there
    open(&parent);
    EXPECT_EQ(child(), 0ul);
    window->pump();
    window.reset();
    setenv("DISPLAY", saved.c_str(), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    // One line for each window that could not be made.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_EQ(receiver.take(), "attach|begin|detach|end|attach|begin|detach|end");
}
