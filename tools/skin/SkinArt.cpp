#include "SkinArt.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "SkinCanvas.h"

namespace skin {

namespace {

// Fills a surface pixel by pixel with an opaque colour per position.
template <class Shade> cairo_surface_t* texture(int width, int height, Shade shade)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(surface);
    auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x)
            row[x] = shade(x, y);
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// Metal brushed in circles around the centre of a size x size square, lit from
// the upper left: two bright sectors across the cap, rings of grain.
cairo_surface_t* brushedCircular(int size, double brightness, std::uint32_t seed)
{
    const double c = size / 2.0;
    return texture(size, size, [=](int x, int y) {
        const double dx = x + 0.5 - c;
        const double dy = y + 0.5 - c;
        const double d = std::hypot(dx, dy);
        const double angle = std::atan2(dy, dx);
        double v = 0.60 + 0.22 * std::cos(2 * (angle + 3 * kPi / 4));
        v += 0.07 * (noise(static_cast<std::uint32_t>(d * 2.7), 0, seed) - 0.5);
        v += 0.03 *
             (noise(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed + 1) - 0.5);
        v -= 0.10 * std::pow(std::min(1.0, d / c), 6);
        v *= brightness;
        return opaquePixel(v * 0.98, v * 0.99, v * 1.03);
    });
}

// Metal brushed left to right, lighter at the top.
cairo_surface_t* brushedLinear(int width, int height, double top, double bottom, std::uint32_t seed)
{
    return texture(width, height, [=](int x, int y) {
        const double t = height > 1 ? double(y) / (height - 1) : 0.0;
        double v = top + (bottom - top) * t;
        v += 0.06 * (noise(static_cast<std::uint32_t>(y), 0, seed) - 0.5);
        v += 0.025 *
             (noise(static_cast<std::uint32_t>(x / 7), static_cast<std::uint32_t>(y), seed + 2) -
              0.5);
        return opaquePixel(v * 0.98, v * 0.99, v * 1.03);
    });
}

// Dark vinyl covering: a fine weave under grain.
cairo_surface_t* tolex(int width, int height)
{
    return texture(width, height, [](int x, int y) {
        double v = 0.085;
        v += ((x + y) % 4 < 2 ? 0.012 : -0.012) + ((x - y + 1024) % 6 < 3 ? 0.006 : -0.006);
        v +=
            0.035 * (noise(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 77) - 0.5);
        return opaquePixel(v, v * 0.98, v * 0.96);
    });
}

void fillWith(cairo_t* cr, cairo_surface_t* source, double x, double y)
{
    cairo_set_source_surface(cr, source, x, y);
    cairo_fill(cr);
    cairo_surface_destroy(source);
}

void softShadow(cairo_t* cr, double cx, double cy, double inner, double outer, double alpha)
{
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy, inner, cx, cy, outer);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, alpha);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx, cy, outer, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);
}

// A bevelled ring: light at the top left, dark at the bottom right.
void bevelRing(cairo_t* cr, double cx, double cy, double r, double width, double light, double dark)
{
    cairo_pattern_t* bevel = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(bevel, 0, light, light, light);
    cairo_pattern_add_color_stop_rgb(bevel, 1, dark, dark, dark);
    cairo_set_source(cr, bevel);
    cairo_set_line_width(cr, width);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);
}

// A knob seen from above: shadow, knurled black skirt turning with the value,
// brushed aluminium cap, an engraved cream pointer.
void drawKnob(cairo_t* cr, double size, double y0, double turn)
{
    const double c = size / 2;
    const double cy = y0 + c;
    softShadow(cr, c + size * 0.02, cy + size * 0.045, size * 0.38, size * 0.5, 0.6);

    cairo_pattern_t* skirt =
        cairo_pattern_create_radial(c - size * 0.1, cy - size * 0.1, 0, c, cy, size * 0.45);
    cairo_pattern_add_color_stop_rgb(skirt, 0, 0.22, 0.22, 0.23);
    cairo_pattern_add_color_stop_rgb(skirt, 1, 0.05, 0.05, 0.06);
    cairo_set_source(cr, skirt);
    cairo_arc(cr, c, cy, size * 0.44, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);

    cairo_set_line_width(cr, std::max(0.8, size / 70));
    const int ridges = 36;
    for (int i = 0; i < ridges; ++i) {
        const double a = turn + 2 * kPi * i / ridges;
        const double lit = 0.20 + 0.14 * std::cos(a + kPi / 4);
        cairo_set_source_rgba(cr, lit, lit, lit * 1.04, 0.9);
        cairo_move_to(cr, c + std::sin(a) * size * 0.365, cy - std::cos(a) * size * 0.365);
        cairo_line_to(cr, c + std::sin(a) * size * 0.432, cy - std::cos(a) * size * 0.432);
        cairo_stroke(cr);
    }
    bevelRing(cr, c, cy, size * 0.438, 1.0, 0.35, 0.02);

    const double capRadius = size * 0.34;
    cairo_arc(cr, c, cy, capRadius, 0, 2 * kPi);
    const int capSize = static_cast<int>(std::ceil(capRadius * 2)) + 2;
    fillWith(cr, brushedCircular(capSize, 1.0, 11), c - capSize / 2.0, cy - capSize / 2.0);
    bevelRing(cr, c, cy, capRadius - 0.5, 1.0, 0.95, 0.25);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_set_line_width(cr, 1.0);
    cairo_arc(cr, c, cy, capRadius + 0.6, 0, 2 * kPi);
    cairo_stroke(cr);

    const double dx = std::sin(turn);
    const double dy = -std::cos(turn);
    const double width = std::max(1.6, size * 0.06);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, width + 1.4);
    cairo_move_to(cr, c + dx * size * 0.10, cy + dy * size * 0.10);
    cairo_line_to(cr, c + dx * size * 0.31, cy + dy * size * 0.31);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.98, 0.96, 0.90);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, c + dx * size * 0.10, cy + dy * size * 0.10);
    cairo_line_to(cr, c + dx * size * 0.31, cy + dy * size * 0.31);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

Art knobStrip(const std::string& name, int size, int frames)
{
    Canvas canvas(size, size * frames);
    for (int f = 0; f < frames; ++f) {
        // 270 degrees of travel, from seven to five o'clock.
        const double turn = (-135 + 270.0 * f / (frames - 1)) * kPi / 180;
        drawKnob(canvas.cr(), size, f * size, turn);
    }
    return canvas.art(name, frames);
}

// Off and on, one frame above the other: a chrome bezel around a lens.
Art lamp(const std::string& name, Colour colour)
{
    const int size = 20;
    Canvas canvas(size, size * 2);
    cairo_t* cr = canvas.cr();
    for (int on = 0; on < 2; ++on) {
        const double c = size / 2.0;
        const double cy = on * size + c;
        if (on) {
            cairo_pattern_t* glow = cairo_pattern_create_radial(c, cy, 5, c, cy, c);
            cairo_pattern_add_color_stop_rgba(glow, 0, colour.r, colour.g, colour.b, 0.55);
            cairo_pattern_add_color_stop_rgba(glow, 1, colour.r, colour.g, colour.b, 0);
            cairo_set_source(cr, glow);
            cairo_arc(cr, c, cy, c, 0, 2 * kPi);
            cairo_fill(cr);
            cairo_pattern_destroy(glow);
        } else {
            softShadow(cr, c + 0.5, cy + 1, 6.5, 9.5, 0.6);
        }
        cairo_pattern_t* bezel = cairo_pattern_create_linear(0, cy - 8, 0, cy + 8);
        cairo_pattern_add_color_stop_rgb(bezel, 0, 0.92, 0.92, 0.94);
        cairo_pattern_add_color_stop_rgb(bezel, 1, 0.30, 0.30, 0.32);
        cairo_set_source(cr, bezel);
        cairo_arc(cr, c, cy, 8, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(bezel);
        cairo_set_source_rgb(cr, 0.06, 0.06, 0.06);
        cairo_arc(cr, c, cy, 6.6, 0, 2 * kPi);
        cairo_fill(cr);

        const double level = on ? 1.0 : 0.28;
        cairo_pattern_t* lens = cairo_pattern_create_radial(c - 1.2, cy - 1.5, 0.5, c, cy, 6);
        if (on)
            cairo_pattern_add_color_stop_rgb(lens, 0, 1, 1, 0.9);
        cairo_pattern_add_color_stop_rgb(lens, on ? 0.35 : 0, colour.r * level, colour.g * level,
                                         colour.b * level);
        cairo_pattern_add_color_stop_rgb(lens, 1, colour.r * level * 0.45, colour.g * level * 0.45,
                                         colour.b * level * 0.45);
        cairo_set_source(cr, lens);
        cairo_arc(cr, c, cy, 5.8, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(lens);

        cairo_save(cr);
        cairo_translate(cr, c - 1.8, cy - 2.4);
        cairo_scale(cr, 2.4, 1.4);
        cairo_set_source_rgba(cr, 1, 1, 1, on ? 0.7 : 0.3);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    return canvas.art(name, 2);
}

void hexagon(cairo_t* cr, double cx, double cy, double r)
{
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 6 + i * kPi / 3;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

// Fills the current path with the pattern, which it then frees, and outlines
// the path one pixel wide in a grey.
void fillAndOutline(cairo_t* cr, cairo_pattern_t* fill, double grey, double alpha)
{
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_source_rgba(cr, grey, grey, grey, alpha);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void chromeNut(cairo_t* cr, double cx, double cy, double r)
{
    softShadow(cr, cx + 1, cy + 2, r * 0.8, r * 1.12, 0.6);
    hexagon(cr, cx, cy, r);
    cairo_pattern_t* nut = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgb(nut, 0, 0.88, 0.88, 0.90);
    cairo_pattern_add_color_stop_rgb(nut, 0.5, 0.50, 0.50, 0.53);
    cairo_pattern_add_color_stop_rgb(nut, 1, 0.22, 0.22, 0.24);
    fillAndOutline(cr, nut, 0, 0.7);
}

// A bat-handle toggle on its nut: the lever up (on) or down, shorter while
// pressed, as a finger pushes it over.
Art toggle(const std::string& name, bool on, bool pressed)
{
    const int width = 28;
    const int height = 44;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    chromeNut(cr, cx, cy, 11.5);
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_arc(cr, cx, cy, 6, 0, 2 * kPi);
    cairo_fill(cr);
    bevelRing(cr, cx, cy, 6, 1.2, 0.2, 0.85);

    const double reach = pressed ? 11.0 : 17.0;
    const double tipY = cy + (on ? -reach : reach);
    softShadow(cr, cx + 1.5, tipY + 2, 2, 5, 0.5);
    cairo_pattern_t* rod = cairo_pattern_create_linear(cx - 3, 0, cx + 3, 0);
    cairo_pattern_add_color_stop_rgb(rod, 0, 0.45, 0.45, 0.47);
    cairo_pattern_add_color_stop_rgb(rod, 0.35, 0.97, 0.97, 0.98);
    cairo_pattern_add_color_stop_rgb(rod, 1, 0.30, 0.30, 0.32);
    cairo_set_source(cr, rod);
    cairo_move_to(cr, cx - 3.4, cy);
    cairo_line_to(cr, cx - 2.2, tipY);
    cairo_line_to(cr, cx + 2.2, tipY);
    cairo_line_to(cr, cx + 3.4, cy);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_arc(cr, cx, tipY, 3.8, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(rod);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_arc(cr, cx - 1, tipY - 1.2, 1.1, 0, 2 * kPi);
    cairo_fill(cr);
    return canvas.art(name);
}

// A stomp switch from above: a big hex nut and a round brushed plunger.
Art footSwitch(const std::string& name, double brightness, double sink, bool highlight)
{
    const int size = 56;
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    const double c = size / 2.0;
    chromeNut(cr, c, c, 25);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.09);
    cairo_arc(cr, c, c, 19.5, 0, 2 * kPi);
    cairo_fill(cr);
    const double r = 17.5 - sink;
    softShadow(cr, c + 1, c + 2 + sink, r * 0.8, r + 2.5, 0.7);
    cairo_arc(cr, c, c + sink, r, 0, 2 * kPi);
    const int capSize = static_cast<int>(std::ceil(r * 2)) + 2;
    fillWith(cr, brushedCircular(capSize, brightness, 23), c - capSize / 2.0,
             c + sink - capSize / 2.0);
    bevelRing(cr, c, c + sink, r - 0.5, 1.0, 0.95 * brightness, 0.25);
    if (highlight) {
        cairo_set_source_rgba(cr, 1.0, 0.72, 0.25, 0.85);
        cairo_set_line_width(cr, 1.2);
        cairo_arc(cr, c, c, 19.5, 0, 2 * kPi);
        cairo_stroke(cr);
    }
    return canvas.art(name);
}

enum class Icon { Left, Right, Up, Down, Menu, Plain };

void iconPath(cairo_t* cr, Icon icon, double cx, double cy)
{
    switch (icon) {
    case Icon::Left:
        cairo_move_to(cr, cx - 4, cy);
        cairo_line_to(cr, cx + 3, cy - 4.5);
        cairo_line_to(cr, cx + 3, cy + 4.5);
        break;
    case Icon::Right:
        cairo_move_to(cr, cx + 4, cy);
        cairo_line_to(cr, cx - 3, cy - 4.5);
        cairo_line_to(cr, cx - 3, cy + 4.5);
        break;
    case Icon::Up:
        cairo_move_to(cr, cx, cy - 3.5);
        cairo_line_to(cr, cx + 5, cy + 3);
        cairo_line_to(cr, cx - 5, cy + 3);
        break;
    case Icon::Down:
        cairo_move_to(cr, cx, cy + 3.5);
        cairo_line_to(cr, cx + 5, cy - 3);
        cairo_line_to(cr, cx - 5, cy - 3);
        break;
    case Icon::Menu:
        for (int i = -1; i <= 1; ++i)
            cairo_rectangle(cr, std::round(cx) - 5, std::round(cy) - 1 + i * 3.5, 10, 2);
        return;
    case Icon::Plain:
        return;
    }
    cairo_close_path(cr);
}

enum class ButtonState { Released, Pressed, Highlight };

// A small metal push button set into the panel; the icon engraved in it.
Art pushButton(const std::string& name, Icon icon, ButtonState state)
{
    const int width = 26;
    const int height = 22;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    const bool pressed = state == ButtonState::Pressed;
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.03);
    roundedRect(cr, 0, 0, width, height, 5);
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, width - 3, height - 3, 3.5);
    const double lift = state == ButtonState::Highlight ? 0.07 : 0.0;
    fillWith(cr,
             pressed ? brushedLinear(width, height, 0.48, 0.64, 31)
                     : brushedLinear(width, height, 0.84 + lift, 0.56 + lift, 31),
             0, 0);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, pressed ? 0.15 : 0.6);
    cairo_move_to(cr, 4, 2);
    cairo_line_to(cr, width - 4, 2);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, pressed ? 0.55 : 0.35);
    roundedRect(cr, 1.5, 1.5, width - 3, height - 3, 3.5);
    cairo_stroke(cr);
    if (state == ButtonState::Highlight) {
        cairo_set_source_rgba(cr, 1.0, 0.72, 0.25, 0.9);
        roundedRect(cr, 0.5, 0.5, width - 1, height - 1, 4.5);
        cairo_stroke(cr);
    }
    const double cx = width / 2.0;
    const double cy = height / 2.0 + (pressed ? 1 : 0);
    iconPath(cr, icon, cx, cy + 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
    cairo_fill(cr);
    iconPath(cr, icon, cx, cy);
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.11);
    cairo_fill(cr);
    return canvas.art(name);
}

// 63 frames of a 21-segment LED ladder: green, then amber, then red; frame k
// lights k / 62 of the ladder, the topmost segment partly.
Art meterLadder()
{
    const int width = 14;
    const int height = 130;
    const int frames = 63;
    const int segments = 21;
    Canvas canvas(width, height * frames);
    cairo_surface_flush(canvas.surface());
    auto* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int f = 0; f < frames; ++f) {
        const double level = double(f) * segments / (frames - 1);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + (f * height + y) * stride);
            for (int x = 0; x < width; ++x) {
                const bool rim = x == 0 || y == 0 || x == width - 1 || y == height - 1;
                const double v = rim ? (x == 0 || y == 0 ? 0.02 : 0.22) : 0.05;
                row[x] = opaquePixel(v, v, v);
            }
        }
        for (int i = 0; i < segments; ++i) {
            const Colour lit = i < 14   ? Colour{0.25, 1.0, 0.3}
                               : i < 18 ? Colour{1.0, 0.72, 0.1}
                                        : Colour{1.0, 0.16, 0.1};
            const double on = std::clamp(level - i, 0.0, 1.0);
            const int top = height - 3 - (i + 1) * 6 + 2;
            for (int y = top; y < top + 4; ++y) {
                auto* row = reinterpret_cast<std::uint32_t*>(data + (f * height + y) * stride);
                const double shine = y == top ? 1.0 : 0.85;
                for (int x = 3; x < width - 3; ++x) {
                    const double dim = 0.13;
                    const double k = (dim + (shine - dim) * on);
                    row[x] = opaquePixel(lit.r * k + 0.02, lit.g * k + 0.02, lit.b * k + 0.02);
                }
            }
        }
    }
    cairo_surface_mark_dirty(canvas.surface());
    return canvas.art("MeterLadder", frames);
}

// A vertical fader's slot with its scale, and its chrome cap.
Art faderTrack()
{
    const int width = 30;
    const int height = 160;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    cairo_set_line_width(cr, 1);
    for (int i = 0; i <= 10; ++i) {
        const double y = 10.5 + i * 14;
        const bool major = i % 5 == 0;
        cairo_set_source_rgba(cr, 0.85, 0.85, 0.82, major ? 0.9 : 0.55);
        cairo_move_to(cr, major ? 1 : 3, y);
        cairo_line_to(cr, 9, y);
        cairo_move_to(cr, width - 9, y);
        cairo_line_to(cr, width - (major ? 1 : 3), y);
        cairo_stroke(cr);
    }
    roundedRect(cr, 11, 4, 8, height - 8, 3);
    cairo_pattern_t* slot = cairo_pattern_create_linear(11, 0, 19, 0);
    cairo_pattern_add_color_stop_rgb(slot, 0, 0.0, 0.0, 0.0);
    cairo_pattern_add_color_stop_rgb(slot, 1, 0.10, 0.10, 0.11);
    fillAndOutline(cr, slot, 1, 0.25);
    return canvas.art("FaderTrack");
}

Art faderHandle()
{
    const int width = 28;
    const int height = 16;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    roundedRect(cr, 1, 2, width - 1, height - 2, 3);
    cairo_fill(cr);
    roundedRect(cr, 0.5, 0.5, width - 2, height - 2.5, 3);
    fillWith(cr, brushedLinear(width, height, 0.92, 0.50, 41), 0, 0);
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < 2; ++i) {
        const double y = 3.5 + i * 8;
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_move_to(cr, 3, y);
        cairo_line_to(cr, width - 4, y);
        cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_rectangle(cr, 2, 6, width - 5, 2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.98, 0.96, 0.90);
    cairo_rectangle(cr, 2, 7, width - 5, 1);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    roundedRect(cr, 0.5, 0.5, width - 2, height - 2.5, 3);
    cairo_stroke(cr);
    return canvas.art("FaderHandle");
}

// A cairo font of the file at a fixed pixel size, hinted and antialiased the
// same way on every run.
void useFont(cairo_t* cr, const std::string& file, double pixelSize)
{
    cairo_font_face_t* fontFace = openFontFace(file);
    cairo_set_font_face(cr, fontFace);
    cairo_font_face_destroy(fontFace);
    cairo_set_font_size(cr, pixelSize);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

Art font(const FontSpec& spec)
{
    // Measure first, on a scratch surface.
    int widths[128] = {};
    double ascent = 0;
    double descent = 0;
    {
        Canvas scratch(1, 1);
        useFont(scratch.cr(), spec.file, spec.pixelSize);
        cairo_font_extents_t extents;
        cairo_font_extents(scratch.cr(), &extents);
        ascent = std::ceil(extents.ascent);
        descent = std::ceil(extents.descent);
        for (int code = 0; code < 128; ++code) {
            widths[code] = 1;
            if (code >= 32 && code < 127) {
                const char text[2] = {static_cast<char>(code), 0};
                cairo_text_extents_t glyph;
                cairo_text_extents(scratch.cr(), text, &glyph);
                widths[code] = std::max(1, static_cast<int>(std::lround(glyph.x_advance)));
            }
        }
        widths[0] = widths['n'];
    }
    const int cellHeight = static_cast<int>(ascent + descent);
    const int height = cellHeight + 5;
    int width = 0;
    for (int w : widths)
        width += w + 1;

    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    useFont(cr, spec.file, spec.pixelSize);
    int x = 0;
    for (int code = 0; code < 128; ++code) {
        const int w = widths[code];
        cairo_save(cr);
        cairo_rectangle(cr, x, 0, w, cellHeight);
        cairo_clip(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        if (code == 0) {
            // The placeholder for codes the font lacks: an open box.
            const double top = std::round(ascent * 0.3);
            cairo_set_line_width(cr, 1);
            cairo_rectangle(cr, x + 1.5, top + 0.5, w - 3, ascent - top - 1);
            cairo_stroke(cr);
        } else if (code >= 32 && code < 127) {
            const char text[2] = {static_cast<char>(code), 0};
            cairo_move_to(cr, x, ascent);
            cairo_show_text(cr, text);
        }
        cairo_restore(cr);
        // The marker: one run of white per code, then one black pixel.
        cairo_rectangle(cr, x, height - 2, w, 1);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        x += w + 1;
    }
    return canvas.art(spec.name);
}

} // namespace

std::vector<Art> drawControls()
{
    std::vector<Art> art;
    art.push_back(knobStrip("KnobSmall", 32, 64));
    art.push_back(knobStrip("KnobMedium", 48, 64));
    art.push_back(knobStrip("KnobLarge", 64, 64));
    art.push_back(lamp("LampRed", {1.0, 0.16, 0.10}));
    art.push_back(lamp("LampGreen", {0.25, 1.0, 0.30}));
    art.push_back(lamp("LampAmber", {1.0, 0.66, 0.08}));
    for (bool on : {false, true})
        for (bool pressed : {false, true})
            art.push_back(
                toggle(std::string("Toggle") + (on ? "On" : "Off") + (pressed ? "Pressed" : ""), on,
                       pressed));
    art.push_back(footSwitch("FootSwitchReleased", 1.0, 0.0, false));
    art.push_back(footSwitch("FootSwitchPressed", 0.82, 1.0, false));
    art.push_back(footSwitch("FootSwitchHighlight", 1.06, 0.0, true));
    const std::pair<const char*, Icon> icons[] = {{"Left", Icon::Left}, {"Right", Icon::Right},
                                                  {"Up", Icon::Up},     {"Down", Icon::Down},
                                                  {"Menu", Icon::Menu}, {"Plain", Icon::Plain}};
    const std::pair<const char*, ButtonState> states[] = {{"Released", ButtonState::Released},
                                                          {"Pressed", ButtonState::Pressed},
                                                          {"Highlight", ButtonState::Highlight}};
    for (const auto& [iconName, icon] : icons)
        for (const auto& [stateName, state] : states)
            art.push_back(pushButton(std::string("Button") + iconName + stateName, icon, state));
    art.push_back(meterLadder());
    art.push_back(faderTrack());
    art.push_back(faderHandle());
    return art;
}

std::vector<Art> drawFonts(const std::vector<FontSpec>& fonts)
{
    std::vector<Art> art;
    for (const FontSpec& spec : fonts)
        art.push_back(font(spec));
    return art;
}

void writeContactSheet(const std::vector<Art>& images, const std::string& labelFontFile,
                       const std::string& pngPath)
{
    // Still images as they are, strips by up to eight frames side by side.
    const int sheetWidth = 1180;
    const int margin = 24;
    const int labelHeight = 18;
    struct Place {
        const Art* art;
        int x, y, shown, frameHeight, boxWidth;
    };
    auto label = [](const Art& art) {
        return art.name + (art.frames > 1 ? " (" + std::to_string(art.frames) + " frames)" : "");
    };
    Canvas scratch(1, 1);
    useFont(scratch.cr(), labelFontFile, 11);
    std::vector<Place> places;
    int x = margin;
    int y = margin + 30;
    int rowHeight = 0;
    for (const Art& art : images) {
        const int frameHeight = art.height / art.frames;
        const int shown = std::min(art.frames, 8);
        cairo_text_extents_t text;
        cairo_text_extents(scratch.cr(), label(art).c_str(), &text);
        const int boxWidth =
            std::max(shown * (art.width + 4) - 4, static_cast<int>(std::ceil(text.x_advance)));
        if (x + boxWidth > sheetWidth - margin && x > margin) {
            x = margin;
            y += rowHeight + labelHeight + 16;
            rowHeight = 0;
        }
        places.push_back({&art, x, y, shown, frameHeight, boxWidth});
        x += boxWidth + 22;
        rowHeight = std::max(rowHeight, frameHeight);
    }
    const int sheetHeight = y + rowHeight + labelHeight + margin;

    Canvas canvas(sheetWidth, sheetHeight);
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 0, 0, sheetWidth, sheetHeight);
    fillWith(cr, tolex(sheetWidth, sheetHeight), 0, 0);
    useFont(cr, labelFontFile, 12);
    cairo_set_source_rgb(cr, 0.93, 0.91, 0.86);
    cairo_move_to(cr, margin, margin + 8);
    cairo_set_font_size(cr, 15);
    cairo_show_text(cr, "BorvanQom editor skin: shared controls and fonts");
    cairo_set_font_size(cr, 11);
    for (const Place& place : places) {
        const Art& art = *place.art;
        cairo_surface_t* image = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(art.pixels.data())),
            CAIRO_FORMAT_ARGB32, art.width, art.height, art.width * 4);
        for (int i = 0; i < place.shown; ++i) {
            const int frame = place.shown > 1 ? i * (art.frames - 1) / (place.shown - 1) : 0;
            const int dx = place.x + i * (art.width + 4);
            cairo_save(cr);
            cairo_rectangle(cr, dx, place.y, art.width, place.frameHeight);
            cairo_clip(cr);
            cairo_set_source_surface(cr, image, dx, place.y - frame * place.frameHeight);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_surface_destroy(image);
        cairo_set_source_rgb(cr, 0.80, 0.78, 0.72);
        cairo_move_to(cr, place.x, place.y + place.frameHeight + 13);
        cairo_show_text(cr, label(art).c_str());
    }
    cairo_surface_flush(canvas.surface());
    if (cairo_surface_write_to_png(canvas.surface(), pngPath.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + pngPath);
}

void releaseLibraries()
{
    cairo_debug_reset_static_data();
    FT_Done_FreeType(freeTypeLibrary());
    FcFini();
}

} // namespace skin
