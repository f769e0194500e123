#pragma once

#include <cairo.h>

// System text through cairo with FreeType faces found by fontconfig. The
// faces are matched from the family alone and drawn with fixed options (grey
// antialiasing, no hinting), so the pixels do not follow the machine's own
// fontconfig settings. "Arial" and "Tahoma" are answered with DejaVu Sans here
// rather than by fontconfig, whose aliases for them differ between machines.
namespace epiTextFace {

// Flags of a text: 0x1 centred, 0x2 right-aligned (else left), 0x10 bold,
// 0x20 italic.
constexpr int kCentre = 0x1;
constexpr int kRight = 0x2;
constexpr int kBold = 0x10;
constexpr int kItalic = 0x20;

// The family fontconfig is asked for.
const char* mappedFamily(const char* family);
// The font file the family, bold and italic resolve to ("" when none).
const char* resolvedFile(const char* family, bool bold, bool italic);

// Selects the face and the size (points at 96 dots per inch) into the
// context, with the fixed font options; false when no face is found.
bool select(cairo_t* cr, const char* family, double sizePoints, int flags);

// The advance width of the UTF-8 text in pixels, trailing spaces included.
double measure(const char* text, const char* family, double sizePoints, int flags);

// Draws the UTF-8 text in the current source of the context, on one line from
// the box's top, aligned horizontally in the box by the flags.
void drawInBox(cairo_t* cr, const char* text, const char* family, double sizePoints, int flags,
               double left, double top, double width);

} // namespace epiTextFace
