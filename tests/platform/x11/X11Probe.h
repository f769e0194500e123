#pragma once

// What tests do on their own connection to the Xvfb: the user's click
// through XTest and a read-back of a window's pixels. Include after gtest:
// Xlib defines names such as None and Bool that gtest uses.

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace test::x11 {

// Moves the pointer to the root position and clicks the first button.
inline void click(Display* display, int rootX, int rootY)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

// The window's pixels as 0x00RRGGBB, rows top to bottom; empty on failure.
inline std::vector<std::uint32_t> readBack(Display* display, Window window, int width, int height)
{
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const auto channel = [p](unsigned long mask) {
                return static_cast<std::uint32_t>((p & mask) >> __builtin_ctzl(mask));
            };
            pixels[static_cast<std::size_t>(y * width + x)] = channel(image->red_mask) << 16 |
                                                              channel(image->green_mask) << 8 |
                                                              channel(image->blue_mask);
        }
    XDestroyImage(image);
    return pixels;
}

// Runs `turn` until `done` holds, after syncing every connection each time:
// the server answers asynchronously, so this waits for events, bounded.
inline bool turnUntil(std::initializer_list<Display*> displays, const std::function<void()>& turn,
                      const std::function<bool()>& done)
{
    for (int i = 0; i < 3000; ++i) {
        for (Display* display : displays)
            XSync(display, False);
        turn();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace test::x11
