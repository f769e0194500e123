#include "platform/window/Png.h"

#include <cstdio>
#include <vector>

#include <png.h>

namespace platform::window {

bool writePng(const std::string& path, const std::uint32_t* pixels, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    bool ok = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                     8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* in = pixels + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                row[x * 3] = static_cast<png_byte>(in[x] >> 16);
                row[x * 3 + 1] = static_cast<png_byte>(in[x] >> 8);
                row[x * 3 + 2] = static_cast<png_byte>(in[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

} // namespace platform::window
