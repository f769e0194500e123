// Renders the 256 byte values (read as Latin-1) of a system face into a strip
// font image for epiFont_FontStrip: white glyphs on opaque black, the red
// channel being the coverage, side by side; below them a marker row that is
// white but black at each boundary between glyphs. The first boundary is the
// strip's first column and one light column follows the last, which is how
// the strip cutter reads the widths back. Control characters get one empty
// column. The output depends only on the face file and the arguments.
//
//   FontStripGenerator --family "DejaVu Sans" --size 10 [--bold] --out file.png

#include "hostfw/gfx/epiFontStrip.h"
#include "hostfw/gfx/epiTextFace.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool isControl(int c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// The UTF-8 form of a Latin-1 byte.
std::string utf8(int c)
{
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: FontStripGenerator --family NAME --size POINTS [--bold] --out FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string family = "DejaVu Sans";
    double size = 0.0;
    int flags = 0;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--family" && i + 1 < argc)
            family = argv[++i];
        else if (arg == "--size" && i + 1 < argc)
            size = std::atof(argv[++i]);
        else if (arg == "--bold")
            flags |= epiTextFace::kBold;
        else if (arg == "--out" && i + 1 < argc)
            out = argv[++i];
        else
            return usage();
    }
    if (size <= 0.0 || out.empty())
        return usage();

    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* measure = cairo_create(scratch);
    if (!epiTextFace::select(measure, family.c_str(), size, flags)) {
        std::fprintf(stderr, "FontStripGenerator: no face for %s\n", family.c_str());
        return 1;
    }
    cairo_font_extents_t font;
    cairo_font_extents(measure, &font);
    const int ascent = static_cast<int>(std::ceil(font.ascent));
    const int glyphRows = ascent + static_cast<int>(std::ceil(font.descent));
    std::vector<int> widths(256, 1);
    for (int c = 0; c < 256; ++c) {
        if (isControl(c))
            continue;
        cairo_text_extents_t extents;
        cairo_text_extents(measure, utf8(c).c_str(), &extents);
        widths[c] = std::max(1, static_cast<int>(std::lround(extents.x_advance)));
    }
    cairo_destroy(measure);
    cairo_surface_destroy(scratch);

    // Boundary k sits before glyph k; glyph k fills the columns after it.
    std::vector<int> boundaries(257, 0);
    for (int c = 0; c < 256; ++c)
        boundaries[c + 1] = boundaries[c] + 1 + widths[c];
    const int width = boundaries[256] + 2;
    const int height = glyphRows + epiFont_FontStrip::kGlyphRowsBelow;
    const int markerRow = height - epiFont_FontStrip::kMarkerRowFromBottom;

    cairo_surface_t* strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(strip);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, markerRow, width, 1);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (int boundary : boundaries) {
        cairo_rectangle(cr, boundary, markerRow, 1, 1);
        cairo_fill(cr);
    }
    epiTextFace::select(cr, family.c_str(), size, flags);
    cairo_set_source_rgb(cr, 1, 1, 1);
    for (int c = 0; c < 256; ++c) {
        if (isControl(c))
            continue;
        const int left = boundaries[c] + 1;
        // Each glyph stays in its own columns.
        cairo_save(cr);
        cairo_rectangle(cr, left, 0, widths[c], glyphRows);
        cairo_clip(cr);
        cairo_move_to(cr, left, ascent);
        cairo_show_text(cr, utf8(c).c_str());
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    const cairo_status_t status = cairo_surface_write_to_png(strip, out.c_str());
    cairo_surface_destroy(strip);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "FontStripGenerator: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
