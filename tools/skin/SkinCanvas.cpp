#include "SkinCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace skin {

Canvas::Canvas(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)), width_(width), height_(height)
{
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cairo could not make a surface");
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Art Canvas::art(const std::string& name, int frames) const
{
    cairo_surface_flush(surface_);
    Art art{name, width_, height_, {}, frames};
    const auto* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    art.pixels.resize(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        std::memcpy(&art.pixels[static_cast<std::size_t>(y) * width_], data + y * stride,
                    static_cast<std::size_t>(width_) * 4);
    return art;
}

FT_Library freeTypeLibrary()
{
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0)
            throw std::runtime_error("FreeType did not start");
        return made;
    }();
    return library;
}

namespace {
const cairo_user_data_key_t faceKey{};
} // namespace

cairo_font_face_t* openFontFace(const std::string& file)
{
    FT_Face face = nullptr;
    if (FT_New_Face(freeTypeLibrary(), file.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot open font " + file);
    cairo_font_face_t* fontFace = cairo_ft_font_face_create_for_ft_face(face, 0);
    cairo_font_face_set_user_data(fontFace, &faceKey, face,
                                  [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); });
    return fontFace;
}

LegendFont::LegendFont(const std::string& file, double shadowOpacity)
    : cairoFace_(openFontFace(file)), shadowOpacity_(shadowOpacity)
{
}

LegendFont::~LegendFont()
{
    cairo_font_face_destroy(cairoFace_);
}

void LegendFont::text(cairo_t* cr, const std::string& s, double x, double y, double size, int align,
                      Colour colour, double alpha) const
{
    cairo_set_font_face(cr, cairoFace_);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    const double width = extents.x_advance;
    const double left = std::round(align == 1 ? x - width / 2 : align == 2 ? x - width : x);
    cairo_set_source_rgba(cr, 0, 0, 0, shadowOpacity_ * alpha);
    cairo_move_to(cr, left, y + 1);
    cairo_show_text(cr, s.c_str());
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
    cairo_move_to(cr, left, y);
    cairo_show_text(cr, s.c_str());
}

double noise(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0x1000000);
}

std::uint32_t opaquePixel(double r, double g, double b)
{
    auto c = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

Art roundLamp(const std::string& name, Colour colour, bool on, int size)
{
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    const double c = size / 2.0;
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_arc(cr, c, c, c - 0.5, 0, 2 * kPi);
    cairo_fill(cr);
    const double level = on ? 1.0 : 0.25;
    cairo_pattern_t* lens = cairo_pattern_create_radial(c - 1, c - 1, 0.5, c, c, c - 2);
    cairo_pattern_add_color_stop_rgb(lens, 0, on ? 1 : colour.r * level, on ? 1 : colour.g * level,
                                     on ? 0.9 : colour.b * level);
    cairo_pattern_add_color_stop_rgb(lens, 1, colour.r * level * 0.5, colour.g * level * 0.5,
                                     colour.b * level * 0.5);
    cairo_set_source(cr, lens);
    cairo_arc(cr, c, c, c - 2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);
    return canvas.art(name);
}

void darkTolex(Canvas& canvas, int x0, int y0, int w, int h)
{
    shadeRect(canvas, x0, y0, w, h, [](int x, int y) {
        double v = 0.075;
        v += ((x + y) % 4 < 2 ? 0.012 : -0.012) + ((x - y + 1024) % 6 < 3 ? 0.006 : -0.006);
        v += 0.035 * (noise(x, y, 91) - 0.5);
        return opaquePixel(v, v * 0.98, v * 0.96);
    });
}

void facePlate(Canvas& canvas, int x, int y, int w, int h, Colour tint)
{
    shadeRect(canvas, x, y, w, h, [&](int px, int py) {
        const double t = double(py - y) / h;
        double v = 0.78 - 0.16 * t + 0.05 * (noise(0, py, 17) - 0.5) +
                   0.02 * (noise(px / 9, py, 19) - 0.5);
        return opaquePixel(v * tint.r, v * tint.g, v * tint.b);
    });
    cairo_t* cr = canvas.cr();
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_move_to(cr, x + 1, y + h - 1);
    cairo_line_to(cr, x + 1, y + 1);
    cairo_line_to(cr, x + w - 1, y + 1);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_move_to(cr, x + w - 1, y + 1);
    cairo_line_to(cr, x + w - 1, y + h - 1);
    cairo_line_to(cr, x + 1, y + h - 1);
    cairo_stroke(cr);
    for (double sx : {x + 10.0, x + w - 10.0})
        for (double sy : {y + 10.0, y + h - 10.0}) {
            cairo_set_source_rgb(cr, 0.35, 0.35, 0.36);
            cairo_arc(cr, sx, sy, 4, 0, 2 * kPi);
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 0.12, 0.12, 0.12);
            cairo_set_line_width(cr, 1.2);
            cairo_move_to(cr, sx - 3, sy);
            cairo_line_to(cr, sx + 3, sy);
            cairo_stroke(cr);
        }
}

void knobScale(cairo_t* cr, const LegendFont& font, double cx, double cy, double r, Colour ink,
               bool numbers)
{
    cairo_set_line_width(cr, 1.2);
    cairo_set_source_rgba(cr, ink.r, ink.g, ink.b, 0.9);
    for (int i = 0; i <= 10; ++i) {
        const double a = (-225 + 27.0 * i) * kPi / 180;
        const double outer = r + (i % 5 == 0 ? 6 : 4);
        cairo_move_to(cr, cx + (r + 2) * std::cos(a), cy + (r + 2) * std::sin(a));
        cairo_line_to(cr, cx + outer * std::cos(a), cy + outer * std::sin(a));
    }
    cairo_stroke(cr);
    for (int i = 0; numbers && i <= 10; i += 2) {
        const double a = (-225 + 27.0 * i) * kPi / 180;
        font.text(cr, std::to_string(i), cx + (r + 13) * std::cos(a),
                  cy + (r + 13) * std::sin(a) + 3, 7, 1, ink);
    }
}

void displayWell(cairo_t* cr, double x, double y, double w, double h)
{
    roundedRect(cr, x - 1, y - 1, w + 2, h + 2, 4);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 3);
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.02, 0.02, 0.02);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.10, 0.08, 0.06);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
}

} // namespace skin
