#pragma once

#include "hostfw/gfx/epiBitmap.h"

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gfxtest {

// Straight ARGB from its four channels.
inline std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return a << 24 | r << 16 | g << 8 | b;
}

inline epiColor colour(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
{
    epiColor c;
    c.red = r;
    c.green = g;
    c.blue = b;
    c.alpha = a;
    return c;
}

// PNG bytes of an image whose straight ARGB pixels the function gives.
inline std::string makePng(int width, int height,
                           const std::function<std::uint32_t(int, int)>& pixel)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixel(x, y);
            const std::uint32_t a = p >> 24;
            auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            row[x] = a << 24 | pre((p >> 16) & 255) << 16 | pre((p >> 8) & 255) << 8 | pre(p & 255);
        }
    }
    cairo_surface_mark_dirty(surface);
    std::string bytes;
    cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* chunk, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(chunk),
                                                       length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

// A strip font image as the strip cutter reads it: glyph c (of widths[c]
// columns, at least 1) follows boundary c; the marker row, three rows above
// the bottom edge, is white but black at the boundaries; the glyph rows hold
// the coverage the function gives as red (and green and blue).
inline std::string makeStrip(const int (&widths)[256], int glyphHeight,
                             const std::function<std::uint32_t(int c, int x, int y)>& coverage)
{
    int boundaries[257] = {};
    for (int c = 0; c < 256; ++c)
        boundaries[c + 1] = boundaries[c] + 1 + widths[c];
    const int width = boundaries[256] + 2;
    const int height = glyphHeight + 4;
    const int marker = height - 3;
    std::vector<int> owner(static_cast<std::size_t>(width), -1);
    for (int c = 0; c < 256; ++c)
        for (int x = 0; x < widths[c]; ++x)
            owner[static_cast<std::size_t>(boundaries[c] + 1 + x)] = c;
    return makePng(width, height, [&](int x, int y) -> std::uint32_t {
        if (y == marker) {
            for (int b : boundaries)
                if (b == x)
                    return argb(255, 0, 0, 0);
            return argb(255, 255, 255, 255);
        }
        const int c = owner[static_cast<std::size_t>(x)];
        if (y >= glyphHeight || c < 0)
            return argb(255, 0, 0, 0);
        int first = boundaries[c] + 1;
        const std::uint32_t v = coverage(c, x - first, y);
        return argb(255, v, v, v);
    });
}

// Each channel within the tolerance.
inline bool near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255);
        if (d > tolerance || d < -tolerance)
            return false;
    }
    return true;
}

} // namespace gfxtest
