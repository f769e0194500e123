#pragma once

// What tests do on their own connection to the Xvfb: the user's click
// through XTest and a read-back of a window's pixels. Include after gtest:
// Xlib defines names such as None and Bool that gtest uses.

#include <cstdint>
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

} // namespace test::x11
