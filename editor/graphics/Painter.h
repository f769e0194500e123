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

    // One pixel of the blend rule: `source` holds the channels as 0x00RRGGBB,
    // `weight` is 0..255. d * 256 + (s - d) * a equals d * (256 - a) + s * a,
    // whose terms are never negative and stay below 65536 per channel, so red
    // and blue are done together in one word, 16 bits apart.
    static std::uint32_t blend(std::uint32_t destination, std::uint32_t source,
                               std::uint32_t weight)
    {
        const std::uint32_t keep = 256 - weight;
        const std::uint32_t rb =
            (((destination & 0xFF00FFu) * keep + (source & 0xFF00FFu) * weight) >> 8) & 0xFF00FFu;
        const std::uint32_t g =
            (((destination & 0xFF00u) * keep + (source & 0xFF00u) * weight) >> 8) & 0xFF00u;
        return rb | g;
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
