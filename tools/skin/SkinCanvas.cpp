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

LegendFont::LegendFont(const std::string& file, double shadowOpacity)
    : shadowOpacity_(shadowOpacity)
{
    if (FT_Init_FreeType(&library_) != 0 || FT_New_Face(library_, file.c_str(), 0, &face_) != 0)
        throw std::runtime_error("cannot load the legend font " + file);
    cairoFace_ = cairo_ft_font_face_create_for_ft_face(face_, 0);
}

LegendFont::~LegendFont()
{
    cairo_font_face_destroy(cairoFace_);
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
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

} // namespace skin
