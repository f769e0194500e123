#pragma once

// What every art file draws with: a cairo canvas that hands back an Art, the
// legend face, the pixel helpers behind the brushed and grained textures, and
// the small round lamp, the tolex, plates, scales and windows the panels share.

#include <cstdint>
#include <string>

#include <cairo.h>

#include "SkinFiles.h"

struct FT_LibraryRec_;

namespace skin {

inline constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r, g, b;
};

// A drawing surface and its context.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    Art art(const std::string& name, int frames = 1) const;

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
    int width_;
    int height_;
};

// The one FreeType library of the process; every face lives in it, so that
// releasing it at the end also releases whatever cairo still holds.
FT_LibraryRec_* freeTypeLibrary();

// A cairo face of the font file. Its FreeType face ends with the cairo face,
// not before: cairo keeps faces cached past the last user and finds them
// again by the FreeType face's address, which a face closed early leaves free
// for the next font to reuse.
cairo_font_face_t* openFontFace(const std::string& file);

// The legend face, loaded from its file through FreeType, so the art does not
// depend on what fontconfig would pick. Each legend sits on a drop shadow of
// shadowOpacity times the legend's own alpha.
class LegendFont {
public:
    LegendFont(const std::string& file, double shadowOpacity);
    ~LegendFont();
    LegendFont(const LegendFont&) = delete;
    LegendFont& operator=(const LegendFont&) = delete;

    // align: 0 left of x, 1 centred on x, 2 right of x; y is the baseline.
    void text(cairo_t* cr, const std::string& s, double x, double y, double size, int align,
              Colour colour, double alpha = 1.0) const;

private:
    cairo_font_face_t* cairoFace_ = nullptr;
    double shadowOpacity_;
};

// A fixed pseudo-random value in [0, 1) for a cell of a texture.
double noise(std::uint32_t x, std::uint32_t y, std::uint32_t seed);

std::uint32_t opaquePixel(double r, double g, double b);

// Sets every pixel of the rectangle to shade(x, y), an opaque colour.
template <class Shade> void shadeRect(Canvas& canvas, int x0, int y0, int w, int h, Shade shade)
{
    cairo_surface_flush(canvas.surface());
    auto* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = y0; y < y0 + h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = x0; x < x0 + w; ++x)
            row[x] = shade(x, y);
    }
    cairo_surface_mark_dirty(canvas.surface());
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// A small round lamp in a black bezel, size pixels square, off or on.
Art roundLamp(const std::string& name, Colour colour, bool on, int size);

// The rig's dark tolex, a fixed texture of the absolute pixel position.
void darkTolex(Canvas& canvas, int x, int y, int w, int h);

// A brushed metal plate of the given tint with a bevel and four screws.
void facePlate(Canvas& canvas, int x, int y, int w, int h, Colour tint);

// Scale ticks, and numbers 0 ... 10 when asked, around a knob centred at (cx, cy).
void knobScale(cairo_t* cr, const LegendFont& font, double cx, double cy, double r, Colour ink,
               bool numbers);

// A recessed dark display window with an inner shadow.
void displayWell(cairo_t* cr, double x, double y, double w, double h);

} // namespace skin
