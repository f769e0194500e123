#include "ImageTool.h"

#include <cstdint>
#include <cstdio>

namespace hostimages {

void roundedBox(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

namespace {

bool writePng(cairo_surface_t* surface, const std::string& path)
{
    return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

// The image's colours on black, opaque, and its alpha as a grey mask.
bool writeWithMask(cairo_surface_t* surface, const std::string& path)
{
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    cairo_surface_t* colour = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(surface);
    const unsigned char* src = cairo_image_surface_get_data(surface);
    unsigned char* dstColour = cairo_image_surface_get_data(colour);
    unsigned char* dstMask = cairo_image_surface_get_data(mask);
    const int srcStride = cairo_image_surface_get_stride(surface);
    const int dstStride = cairo_image_surface_get_stride(colour);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const auto* p = reinterpret_cast<const std::uint32_t*>(src + y * srcStride) + x;
            const std::uint32_t alpha = *p >> 24;
            // Premultiplied on black is the colour itself.
            reinterpret_cast<std::uint32_t*>(dstColour + y * dstStride)[x] =
                0xFF000000u | (*p & 0xFFFFFFu);
            reinterpret_cast<std::uint32_t*>(dstMask + y * dstStride)[x] =
                0xFF000000u | alpha << 16 | alpha << 8 | alpha;
        }
    }
    cairo_surface_mark_dirty(colour);
    cairo_surface_mark_dirty(mask);
    std::string maskPath = path;
    maskPath.insert(maskPath.size() - 4, "_alpha");
    const bool ok = writePng(colour, path) && writePng(mask, maskPath);
    cairo_surface_destroy(colour);
    cairo_surface_destroy(mask);
    return ok;
}

} // namespace

int writeImages(int argc, char** argv, const std::vector<Image>& images)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const Image& image : images) {
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
        cairo_t* cr = cairo_create(surface);
        image.draw(cr, image.width, image.height);
        cairo_destroy(cr);
        const std::string path = folder + "/" + image.name;
        const bool ok = image.separateMask ? writeWithMask(surface, path) : writePng(surface, path);
        cairo_surface_destroy(surface);
        if (!ok) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace hostimages
