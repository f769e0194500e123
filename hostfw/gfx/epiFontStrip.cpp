#include "hostfw/gfx/epiFontStrip.h"

#include "hostfw/core/epiText.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResources.h"

#include <algorithm>
#include <cstdlib>

epiFont_FontStrip::epiFont_FontStrip() = default;
epiFont_FontStrip::~epiFont_FontStrip() = default;

bool epiFont_FontStrip::loadFont(epiResources& resources, epiFourCC code)
{
    return cut(loadImage(resources, fileName("fontstrip_", code, ".png")));
}

bool epiFont_FontStrip::cut(std::unique_ptr<epiBitmap> strip)
{
    if (!strip || strip->getHeight() < kGlyphRowsBelow + 1)
        return false;
    const int width = strip->getWidth();
    const int marker = strip->getHeight() - kMarkerRowFromBottom;
    glyphHeight_ = strip->getHeight() - kGlyphRowsBelow;
    auto dark = [&](int x) { return (strip->getPixel(x, marker) & 0xFF) < 128; };
    // One step: over light pixels up to and including the first dark one,
    // then over dark ones up to and including the first light one. The
    // cursor never passes the image's right edge: beyond it every pixel
    // would read dark and the step would not end.
    auto step = [&](int x) {
        while (x < width && !dark(x))
            ++x;
        x = std::min(x + 1, width);
        while (x < width && dark(x))
            ++x;
        return std::min(x + 1, width);
    };
    int cursor = step(0);
    int a = 0;
    const epiRect image(0, 0, width, glyphHeight_);
    for (int c = 0; c < 256; ++c) {
        const int b = step(cursor);
        cursor = b;
        // Glyphs past the last boundary found get width 0; the first box
        // would start one column left of the image, so boxes are cut to it.
        widths_[c] = std::max(0, b - a - 1);
        boxes_[c].set(a - 1, 0, b - 2, glyphHeight_);
        boxes_[c].intersect(image);
        if (widths_[c] == 0 || !boxes_[c].isValid())
            boxes_[c].set(0, 0, 0, 0);
        a = b;
    }
    spacing_ = 0;
    strip_ = std::move(strip);
    return true;
}

int epiFont_FontStrip::advance(unsigned char c) const
{
    if (fixedAdvance_ > 0)
        return fixedAdvance_;
    if (fixedAdvance_ < 0 && c != '.')
        return -fixedAdvance_;
    return widths_[c] + spacing_;
}

int epiFont_FontStrip::measureOn(epiBitmap*, int, const char* text)
{
    int total = 0;
    for (const char* p = text; p && *p; ++p)
        total += advance(static_cast<unsigned char>(*p));
    return total;
}

void epiFont_FontStrip::drawOnBitmap(epiBitmap& bitmap, int flags, const epiRect& rect,
                                     const epiColor& colour, const char* text, const epiRect* clip)
{
    if (!strip_ || !text)
        return;
    const int total = measureOn(&bitmap, flags, text);
    int x = rect.left;
    if (flags & 0x1)
        x = rect.centreX() - (total >> 1);
    else if (flags & 0x2)
        x = rect.right - total;
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        epiRect source = boxes_[c];
        epiRect target(x, rect.top, x + widths_[c], rect.top + glyphHeight_);
        if (clip && !clip->contains(target))
            clip->clipPair(source, target);
        if (source.getWidth() > 0 && source.getHeight() > 0)
            bitmap.tint(*strip_, &source, &target, colour);
        x += advance(c);
    }
}
