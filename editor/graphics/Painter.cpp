#include "editor/graphics/Painter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "editor/graphics/Font.h"

namespace Zq::Application::Graphics {

namespace {

BasicRect<int> moved(BasicRect<int> rect, const BasicPoint<int>& by)
{
    rect.x += by.x;
    rect.y += by.y;
    return rect;
}

// Blends a row of pixels by their own alpha: the image blit the editor runs
// most, over whole panels. Four pixels at a time in 16-bit lanes where SSE2 is
// there; d * (256 - a) + s * a never exceeds 65280, so the lanes never carry.
void blendRow(std::uint32_t* to, const std::uint32_t* from, int count)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    const __m128i colourOnly = _mm_set1_epi32(0x00FFFFFF);
    const auto half = [&](__m128i s, __m128i d) {
        const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)),
                                              _MM_SHUFFLE(3, 3, 3, 3));
        const __m128i sum =
            _mm_add_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(full, a)), _mm_mullo_epi16(s, a));
        return _mm_srli_epi16(sum, 8);
    };
    for (; x + 4 <= count; x += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + x));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + x));
        const __m128i low = half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
        const __m128i high = half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x),
                         _mm_and_si128(_mm_packus_epi16(low, high), colourOnly));
    }
#endif
    for (; x < count; ++x)
        to[x] = Painter::blend(to[x], from[x], from[x] >> 24);
}

} // namespace

Painter::Painter(BasicPoint<int> size, int strideBytes, std::uint32_t* pixels)
    : size_(size), stride_(strideBytes / 4),
      pixels_(pixels), clip_{0, 0, size.x, size.y}, origin_{}, area_(clip_), effective_(clip_)
{
}

void Painter::setClip(const BasicRect<int>& rect)
{
    clip_ = intersect(rect, {0, 0, size_.x, size_.y});
    effective_ = intersect(clip_, area_);
}

void Painter::setArea(const BasicRect<int>& rect)
{
    area_ = rect;
    effective_ = intersect(moved(rect, origin_), clip_);
}

void Painter::drawHorizontalLine(std::uint32_t colour, const BasicPoint<int>& point, int length)
{
    const BasicRect<int>& c = effective_;
    const int y = origin_.y + point.y;
    const int x = origin_.x + point.x;
    if (length <= 0 || y < c.y || y >= c.y + c.height)
        return;
    const int from = x > c.x ? x : c.x;
    const int to = (x + length < c.x + c.width) ? x + length : c.x + c.width;
    const std::uint32_t a = colour >> 24, rgb = colour & 0xFFFFFFu;
    std::uint32_t* p = row(y);
    for (int i = from; i < to; ++i)
        p[i] = blend(p[i], rgb, a);
}

void Painter::drawVerticalLine(std::uint32_t colour, const BasicPoint<int>& point, int length)
{
    const BasicRect<int>& c = effective_;
    const int y = origin_.y + point.y;
    const int x = origin_.x + point.x;
    if (length <= 0 || x < c.x || x >= c.x + c.width)
        return;
    const int from = y > c.y ? y : c.y;
    const int to = (y + length < c.y + c.height) ? y + length : c.y + c.height;
    const std::uint32_t a = colour >> 24, rgb = colour & 0xFFFFFFu;
    for (int i = from; i < to; ++i) {
        std::uint32_t& p = row(i)[x];
        p = blend(p, rgb, a);
    }
}

void Painter::fillRect(std::uint32_t colour, const BasicRect<int>& rect)
{
    const BasicRect<int> area = intersect(moved(rect, origin_), effective_);
    if (area.empty())
        return;
    const std::uint32_t a = colour >> 24, rgb = colour & 0xFFFFFFu;
    for (int y = area.y; y < area.y + area.height; ++y) {
        std::uint32_t* p = row(y) + area.x;
        for (int x = 0; x < area.width; ++x)
            p[x] = blend(p[x], rgb, a);
    }
}

bool Painter::clipBlit(int bw, int bh, const BasicPoint<int>& point, BasicRect<int> s,
                       Blit& blit) const
{
    BasicRect<int> d{origin_.x + point.x, origin_.y + point.y, s.width, s.height};
    const BasicRect<int>& c = effective_;
    // A source starting before the image: the destination starts later.
    if (s.x < 0) {
        d.x -= s.x;
        d.width += s.x;
        s.width += s.x;
        s.x = 0;
    }
    if (s.y < 0) {
        d.y -= s.y;
        d.height += s.y;
        s.height += s.y;
        s.y = 0;
    }
    // A source past the image is cut to it.
    if (s.x + s.width > bw)
        s.width = bw - s.x;
    if (s.y + s.height > bh)
        s.height = bh - s.y;
    // A destination before the clip takes its source from the matching offset.
    if (d.x < c.x) {
        const int cut = c.x - d.x;
        s.x += cut;
        s.width -= cut;
        d.width -= cut;
        d.x = c.x;
    }
    if (d.y < c.y) {
        const int cut = c.y - d.y;
        s.y += cut;
        s.height -= cut;
        d.height -= cut;
        d.y = c.y;
    }
    if (d.x + d.width > c.x + c.width)
        d.width = c.x + c.width - d.x;
    if (d.y + d.height > c.y + c.height)
        d.height = c.y + c.height - d.y;
    blit.width = d.width < s.width ? d.width : s.width;
    blit.height = d.height < s.height ? d.height : s.height;
    if (blit.width < 1 || blit.height < 1)
        return false;
    blit.sx = s.x;
    blit.sy = s.y;
    blit.dx = d.x;
    blit.dy = d.y;
    // Within one image, a destination below its source goes bottom to top so
    // no row is overwritten before it is read.
    blit.bottomUp = d.y > s.y;
    return true;
}

void Painter::drawBitmap(const Bitmap& bitmap, const BasicPoint<int>& point,
                         const BasicRect<int>& source)
{
    Blit b{};
    if (bitmap.empty() || !clipBlit(bitmap.width, bitmap.height, point, source, b))
        return;
    for (int i = 0; i < b.height; ++i) {
        const int line = b.bottomUp ? b.height - 1 - i : i;
        const std::uint32_t* from =
            bitmap.pixels.get() + static_cast<std::ptrdiff_t>(b.sy + line) * bitmap.width + b.sx;
        std::uint32_t* to = row(b.dy + line) + b.dx;
        if (!bitmap.hasAlpha) {
            std::memmove(to, from, static_cast<std::size_t>(b.width) * 4);
            continue;
        }
        blendRow(to, from, b.width);
    }
}

void Painter::drawBitmapColored(const Bitmap& bitmap, int mode, std::uint32_t colour,
                                const BasicPoint<int>& point, const BasicRect<int>& source)
{
    Blit b{};
    if ((mode != 0 && mode != 1) || bitmap.empty() ||
        !clipBlit(bitmap.width, bitmap.height, point, source, b))
        return;
    const std::uint32_t ca = colour >> 24, cr = (colour >> 16) & 0xFF, cg = (colour >> 8) & 0xFF,
                        cb = colour & 0xFF;
    const std::uint32_t rgb = colour & 0xFFFFFFu;
    for (int i = 0; i < b.height; ++i) {
        const int line = b.bottomUp ? b.height - 1 - i : i;
        const std::uint32_t* from =
            bitmap.pixels.get() + static_cast<std::ptrdiff_t>(b.sy + line) * bitmap.width + b.sx;
        std::uint32_t* to = row(b.dy + line) + b.dx;
        for (int x = 0; x < b.width; ++x) {
            const std::uint32_t s = from[x];
            if (mode == 0)
                to[x] = blend(to[x], rgb, s >> 24);
            else
                to[x] = blend(to[x],
                              (((((s >> 16) & 0xFF) * cr) >> 8) << 16) |
                                  (((((s >> 8) & 0xFF) * cg) >> 8) << 8) | (((s & 0xFF) * cb) >> 8),
                              ((s >> 24) * ca) >> 8);
        }
    }
}

void Painter::drawText(const Font& font, std::uint32_t colour, const char* text,
                       const BasicPoint<int>& point, int fixedWidth)
{
    int x = point.x;
    for (const char* c = text; *c; ++c) {
        const BasicRect<int>& cell = font.getCell(*c);
        int offset = 0;
        if (fixedWidth > 0 && cell.width < fixedWidth)
            offset = fixedWidth - ((fixedWidth - cell.width) >> 1) - cell.width;
        drawBitmapColored(font.image(), 0, colour, {x + offset, point.y}, cell);
        x += fixedWidth >= 1 ? fixedWidth : cell.width;
    }
}

void Painter::drawTextAligned(const Font& font, std::uint32_t colour, const char* text,
                              const BasicRect<int>& rect, int alignment, int fixedWidth)
{
    const int textWidth = font.measure(text, fixedWidth).x;
    BasicPoint<int> start{0, 0};
    if (alignment == 0)
        start = {rect.x, rect.y};
    else if (alignment == 1)
        start = {rect.x + rect.width / 2 - textWidth / 2, rect.y};
    else if (alignment == 2)
        start = {rect.x + rect.width - textWidth, rect.y};
    drawText(font, colour, text, start, fixedWidth);
}

} // namespace Zq::Application::Graphics
