#pragma once

// A user at a private Xvfb: a top-level window standing for a host's editor
// frame, the pointer and keys driven through XTest (so grabs, focus and key
// mapping take the server's own path), window trees read back with
// XQueryTree and screens with XGetImage. One connection, used only by the
// thread that made it.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace test::x11 {

class XTestDriver {
public:
    XTestDriver() : display_(XOpenDisplay(nullptr))
    {
        if (display_)
            previousHandler_ = XSetErrorHandler(&XTestDriver::countError);
    }
    ~XTestDriver()
    {
        if (display_) {
            XSync(display_, False);
            XCloseDisplay(display_);
            XSetErrorHandler(previousHandler_);
        }
    }
    XTestDriver(const XTestDriver&) = delete;
    XTestDriver& operator=(const XTestDriver&) = delete;

    Display* display() const { return display_; }
    explicit operator bool() const { return display_ != nullptr; }
    // X errors any connection of this process reported to the default
    // handler: the editor's own connections count theirs apart.
    static int errors() { return errorCount(); }

    // A mapped top-level window of that size, standing for a host's frame.
    ::Window createParent(int x, int y, int width, int height)
    {
        const int screen = DefaultScreen(display_);
        const ::Window window =
            XCreateSimpleWindow(display_, RootWindow(display_, screen), x, y,
                                static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                BlackPixel(display_, screen), WhitePixel(display_, screen));
        XSelectInput(display_, window, StructureNotifyMask);
        XMapWindow(display_, window);
        // Mapped before the editor arrives: no window manager, so the map
        // is done once the server answers.
        XSync(display_, False);
        return window;
    }
    void destroy(::Window window)
    {
        XDestroyWindow(display_, window);
        XSync(display_, False);
    }
    std::vector<::Window> children(::Window window)
    {
        XSync(display_, False);
        ::Window root = 0, parent = 0;
        ::Window* list = nullptr;
        unsigned count = 0;
        std::vector<::Window> out;
        if (XQueryTree(display_, window, &root, &parent, &list, &count)) {
            out.assign(list, list + count);
            if (list)
                XFree(list);
        }
        return out;
    }

    // The window holding the keyboard focus.
    ::Window focus()
    {
        ::Window window = 0;
        int revert = 0;
        XGetInputFocus(display_, &window, &revert);
        return window;
    }

    // What the window shows, 0x00RRGGBB, top row first; empty on failure.
    std::vector<std::uint32_t> grab(::Window window, int width, int height)
    {
        XSync(display_, False);
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image)
            return {};
        std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out[static_cast<std::size_t>(y) * width + x] =
                    static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
        XDestroyImage(image);
        return out;
    }

    // The pointer to (x, y) of the window.
    void moveTo(::Window window, int x, int y)
    {
        int rootX = 0, rootY = 0;
        ::Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                              &child);
        XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
        XSync(display_, False);
    }
    void button(unsigned button, bool down)
    {
        XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void click(::Window window, int x, int y)
    {
        moveTo(window, x, y);
        button(1, true);
        button(1, false);
    }
    void key(KeySym symbol, bool down)
    {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False,
                          CurrentTime);
        XSync(display_, False);
    }
    void tap(KeySym symbol)
    {
        key(symbol, true);
        key(symbol, false);
    }
    // Letters, digits and spaces, as typed on the keyboard (capitals with
    // Shift held).
    void type(const std::string& text)
    {
        for (const char c : text) {
            const bool capital = c >= 'A' && c <= 'Z';
            const KeySym symbol =
                c == ' ' ? XK_space : static_cast<KeySym>(capital ? c - 'A' + 'a' : c);
            if (capital)
                key(XK_Shift_L, true);
            tap(symbol);
            if (capital)
                key(XK_Shift_L, false);
        }
    }

    // Calls `idle` about every `periodMs` until `done` holds, at most
    // `budgetMs`: the server and the editor answer when they answer, and a
    // test waits for a state, never for a fixed time.
    bool idleUntil(const std::function<void()>& idle, const std::function<bool()>& done,
                   int budgetMs = 10000, int periodMs = 10)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs);
        for (;;) {
            XSync(display_, False);
            idle();
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
        }
    }

private:
    static int& errorCount()
    {
        static int count = 0;
        return count;
    }
    static int countError(Display*, XErrorEvent*)
    {
        ++errorCount();
        return 0;
    }

    Display* display_;
    XErrorHandler previousHandler_ = nullptr;
};

// Where the tests' pictures go: RIG_SCREENSHOT_DIR when set, else the
// folder the build names, else the test's temporary folder; created.
inline std::string screenshotPath(const std::string& name)
{
    std::filesystem::path dir;
    if (const char* chosen = std::getenv("RIG_SCREENSHOT_DIR"))
        dir = chosen;
#ifdef RIG_SCREENSHOTS
    else
        dir = RIG_SCREENSHOTS;
#endif
    if (dir.empty())
        dir = std::filesystem::temp_directory_path();
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return (dir / name).string();
}

} // namespace test::x11
