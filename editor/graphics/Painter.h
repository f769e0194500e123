#pragma once

#include <cstdint>

#include "editor/graphics/Bitmap.h"
#include "editor/graphics/Geometry.h"

namespace Zq::Application::Graphics {

class Font;

// Software drawing into a 32-bit image (0xAARRGGBB), clipped to a rectangle,
// with an origin added to every coordinate. Every blend works per channel as
// d' = (d * 256 + (s - d) * a) >> 8 and leaves the alpha byte 0. No floating
// point and no allocation while drawing.
class Painter {
public:
    Painter(BasicPoint<int> size, int strideBytes, std::uint32_t* pixels);

    // clip = rect within the image; the effective clip is clip and the area as
    // stored, not moved by the origin.
    void setClip(const BasicRect<int>& rect);
    const BasicRect<int>& getClip() const { return clip_; }
    // A rectangle relative to the origin that narrows drawing further. A widget
    // saves the area, sets its own and restores the saved one.
    void setArea(const BasicRect<int>& rect);
    const BasicRect<int>& getArea() const { return area_; }
    void setOrigin(const BasicPoint<int>& point) { origin_ = point; }
    const BasicPoint<int>& getOrigin() const { return origin_; }
    const BasicRect<int>& getEffectiveClip() const { return effective_; }

    void drawHorizontalLine(std::uint32_t colour, const BasicPoint<int>& point, int length);
    void drawVerticalLine(std::uint32_t colour, const BasicPoint<int>& point, int length);
    void fillRect(std::uint32_t colour, const BasicRect<int>& rect);
    // Blends an image with alpha by its own alpha; copies one without it as it
    // is, alpha byte included.
    void drawBitmap(const Bitmap& bitmap, const BasicPoint<int>& point,
                    const BasicRect<int>& source);
    // Mode 0 tints: the colour's channels weighted by the image's alpha (the
    // colour's alpha is not used). Mode 1 modulates: image times colour per
    // channel and for the weight. Any other mode draws nothing.
    void drawBitmapColored(const Bitmap& bitmap, int mode, std::uint32_t colour,
                           const BasicPoint<int>& point, const BasicRect<int>& source);
    void drawText(const Font& font, std::uint32_t colour, const char* text,
                  const BasicPoint<int>& point, int fixedWidth);
    // Alignment 0 left, 1 centre, 2 right, anything else at the origin.
    void drawTextAligned(const Font& font, std::uint32_t colour, const char* text,
                         const BasicRect<int>& rect, int alignment, int fixedWidth);

    static std::uint32_t blend(std::uint32_t destination, std::uint32_t r, std::uint32_t g,
                               std::uint32_t b, std::uint32_t weight)
    {
        const auto channel = [weight](std::uint32_t d, std::uint32_t s) {
            return static_cast<std::uint32_t>(
                (static_cast<int>(d) * 256 +
                 (static_cast<int>(s) - static_cast<int>(d)) * static_cast<int>(weight)) >>
                8);
        };
        return (channel((destination >> 16) & 0xFF, r) << 16) |
               (channel((destination >> 8) & 0xFF, g) << 8) | channel(destination & 0xFF, b);
    }

private:
    struct Blit {
        int sx, sy, dx, dy, width, height;
        bool bottomUp;
    };
    // Clips a blit of `source` from a bw x bh image to origin + point; false
    // when nothing is left to draw.
    bool clipBlit(int bw, int bh, const BasicPoint<int>& point, BasicRect<int> source,
                  Blit& blit) const;
    std::uint32_t* row(int y) const { return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_; }

    BasicPoint<int> size_;
    int stride_;
    std::uint32_t* pixels_;
    BasicRect<int> clip_;
    BasicPoint<int> origin_;
    BasicRect<int> area_;
    BasicRect<int> effective_;
};

} // namespace Zq::Application::Graphics
