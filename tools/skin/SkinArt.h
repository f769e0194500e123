#pragma once

// The editor's shared controls and fonts, drawn with cairo.

#include <string>
#include <vector>

#include "SkinFiles.h"

namespace skin {

// Knob film strips, lamps, switches, push buttons, the meter ladder and the
// fader, each a separate image as the widgets take them.
std::vector<Art> drawControls();

// Bitmap fonts cut by the editor: glyphs white on black, the marker row at
// height - 2 with one run per code, code 0 a visible placeholder box.
struct FontSpec {
    std::string name;     // resource name without extension
    std::string file;     // TrueType file
    double pixelSize = 0; // em size in pixels
};
std::vector<Art> drawFonts(const std::vector<FontSpec>& fonts);

// Every image on one dark sheet with its name, strips shown by a few frames.
// Written as a PNG for people to look at.
void writeContactSheet(const std::vector<Art>& images, const std::string& labelFontFile,
                       const std::string& pngPath);

// Gives back what cairo, FreeType and fontconfig keep for the whole process,
// so a leak checker sees a clean exit.
void releaseLibraries();

} // namespace skin
