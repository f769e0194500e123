#include "editor/graphics/Font.h"

#include "editor/graphics/ImageReader.h"

namespace Zq::Application::Graphics {

Font::Font(const std::string& path) : image_(std::make_unique<Bitmap>(readImageFromFile(path)))
{
    cut();
}

Font::Font(std::istream& stream, std::size_t byteCount)
    : image_(std::make_unique<Bitmap>(readImageFromStream(stream, byteCount)))
{
    cut();
}

void Font::cut()
{
    constexpr std::uint32_t separator = 0xFF000000u;
    Bitmap& image = *image_;
    const int width = image.width;
    // Below the glyphs: the marker row and rows that are not part of a glyph.
    // An image of 2 to 4 rows leaves glyphs of height 0, never negative.
    const int cellHeight = image.height > 5 ? image.height - 5 : 0;
    int x = 0;
    std::size_t code = 0;
    if (image.height >= 2) {
        const std::uint32_t* marker =
            image.pixels.get() + static_cast<std::size_t>(image.height - 2) * width;
        for (; code < cells_.size(); ++code) {
            while (x < width && marker[x] == separator)
                ++x;
            if (x >= width)
                break;
            const int start = x;
            while (x < width && marker[x] != separator)
                ++x;
            cells_[code] = {start, 0, x - start, cellHeight};
        }
    }
    for (; code < cells_.size(); ++code)
        cells_[code] = {width, 0, 0, cellHeight};

    const std::size_t count =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(image.height);
    for (std::size_t i = 0; i < count; ++i)
        image.pixels[i] = (((image.pixels[i] >> 16) & 0xFF) << 24) | 0xFFFFFFu;
}

const BasicRect<int>& Font::getCell(char character) const
{
    const auto code = static_cast<signed char>(character);
    return cells_[code < 0 ? 0 : static_cast<std::size_t>(code)];
}

BasicPoint<int> Font::measure(const char* text, int fixedWidth) const
{
    BasicPoint<int> size{0, 0};
    for (const char* c = text; *c; ++c) {
        const BasicRect<int>& cell = getCell(*c);
        size.x += fixedWidth > 0 ? fixedWidth : cell.width;
        if (cell.height > size.y)
            size.y = cell.height;
    }
    return size;
}

} // namespace Zq::Application::Graphics
