#pragma once

// What the host's image generators share: colours, the image list's entry,
// the rounded box both draw their faces with, and the program that draws
// every image of a list into a folder.

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

namespace hostimages {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

inline void set(cairo_t* cr, const Rgb& c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

using Draw = std::function<void(cairo_t*, int, int)>;

// One image: its file name, size and how it is drawn.
struct Image {
    std::string name;
    int width;
    int height;
    Draw draw;
    // Written without alpha (opaque, black where transparent) with the
    // alpha as a grey "_alpha" mask beside it.
    bool separateMask = false;
};

void roundedBox(cairo_t* cr, double x, double y, double w, double h, double radius);

// Usage: <program> <output folder>. Draws and writes every image; the exit
// code of the program.
int writeImages(int argc, char** argv, const std::vector<Image>& images);

} // namespace hostimages
