#include "hostfw/gfx/epiTextFace.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace {

struct Face {
    std::string file;
    cairo_font_face_t* face = nullptr;
};

using FaceKey = std::tuple<std::string, bool, bool>;

std::mutex& faceMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Faces live until the program ends: a handful of families is ever asked for.
std::map<FaceKey, Face>& faceCache()
{
    static std::map<FaceKey, Face> cache;
    return cache;
}

Face findFace(const char* family, bool bold, bool italic)
{
    Face found;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(epiTextFace::mappedFamily(family)));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return found;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        // Only the file and the face index go to cairo: the matched pattern
        // also carries the machine's hinting and antialiasing choices.
        FcPattern* bare = FcPatternCreate();
        FcPatternAddString(bare, FC_FILE, file);
        FcPatternAddInteger(bare, FC_INDEX, index);
        found.file = reinterpret_cast<const char*>(file);
        found.face = cairo_ft_font_face_create_for_pattern(bare);
        FcPatternDestroy(bare);
    }
    FcPatternDestroy(match);
    return found;
}

const Face& cachedFace(const char* family, bool bold, bool italic)
{
    std::lock_guard<std::mutex> lock(faceMutex());
    const FaceKey key{family ? family : "", bold, italic};
    auto& cache = faceCache();
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, findFace(family, bold, italic)).first;
    return it->second;
}

} // namespace

namespace epiTextFace {

const char* mappedFamily(const char* family)
{
    if (!family || !*family || strcasecmp(family, "Arial") == 0 ||
        strcasecmp(family, "Tahoma") == 0)
        return "DejaVu Sans";
    return family;
}

const char* resolvedFile(const char* family, bool bold, bool italic)
{
    return cachedFace(family, bold, italic).file.c_str();
}

bool select(cairo_t* cr, const char* family, double sizePoints, int flags)
{
    const Face& face = cachedFace(family, (flags & kBold) != 0, (flags & kItalic) != 0);
    if (!face.face)
        return false;
    cairo_set_font_face(cr, face.face);
    cairo_set_font_size(cr, sizePoints * 96.0 / 72.0);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    return true;
}

double measure(const char* text, const char* family, double sizePoints, int flags)
{
    if (!text || !*text)
        return 0.0;
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    double width = 0.0;
    if (select(cr, family, sizePoints, flags)) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text, &extents);
        if (cairo_status(cr) == CAIRO_STATUS_SUCCESS)
            width = extents.x_advance;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return width;
}

void drawInBox(cairo_t* cr, const char* text, const char* family, double sizePoints, int flags,
               double left, double top, double width)
{
    if (!text || !*text || !select(cr, family, sizePoints, flags))
        return;
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double x = left;
    if (flags & kCentre)
        x = left + (width - extents.x_advance) / 2.0;
    else if (flags & kRight)
        x = left + width - extents.x_advance;
    cairo_move_to(cr, x, top + font.ascent);
    cairo_show_text(cr, text);
}

} // namespace epiTextFace
