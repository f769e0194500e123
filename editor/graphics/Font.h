#pragma once

#include <array>
#include <cstddef>
#include <istream>
#include <memory>
#include <string>

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Geometry.h"

namespace Zq::Application::Graphics {

// A bitmap font cut from an image: glyphs drawn white on opaque black side by
// side, the row second from the bottom marking each glyph's run. The image is
// kept as a white coverage mask whose alpha is the glyph's red channel.
class Font {
public:
    explicit Font(const std::string& path);
    Font(std::istream& stream, std::size_t byteCount);

    // Codes 128..255 (negative as signed chars) use cell 0.
    const BasicRect<int>& getCell(char character) const;
    // Width: the fixed width per character when above 0, else the cells'
    // widths; height: the tallest cell (0 for an empty text).
    BasicPoint<int> measure(const char* text, int fixedWidth) const;
    const Bitmap& image() const { return *image_; }

private:
    void cut();

    std::unique_ptr<Bitmap> image_;
    std::array<BasicRect<int>, 256> cells_{};
};

} // namespace Zq::Application::Graphics
