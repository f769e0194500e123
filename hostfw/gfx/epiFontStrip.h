#pragma once

#include "hostfw/gfx/epiFont.h"

#include <memory>

// A font cut from one strip image ("fontstrip_" + code + ".png"): the 256
// glyphs side by side, white on black, the red channel being the coverage.
// Below the glyphs, kMarkerRowFromBottom rows above the bottom edge, a marker
// row is dark (blue below 128) at the boundaries between the glyphs. Glyph k
// of byte value k lies between its boundary and the next; the first boundary
// is the strip's first column.
class epiFont_FontStrip : public epiFont {
public:
    // The marker row is the image's height minus this; the glyphs are the
    // height minus kGlyphRowsBelow high.
    static constexpr int kMarkerRowFromBottom = 3;
    static constexpr int kGlyphRowsBelow = 4;

    epiFont_FontStrip();
    ~epiFont_FontStrip() override;

    // Fails for a missing or undecodable image, and for one lower than
    // kGlyphRowsBelow + 1 pixels, which has no glyph rows.
    bool loadFont(epiResources& resources, epiFourCC code) override;
    void drawOnBitmap(epiBitmap& bitmap, int flags, const epiRect& rect, const epiColor& colour,
                      const char* text, const epiRect* clip) override;
    int measureOn(epiBitmap* bitmap, int flags, const char* text) override;
    // 0: each glyph its own width plus the spacing; above 0: that advance for
    // every glyph; below 0: its absolute value, but "." keeps its own width
    // plus the spacing.
    void setAdvance(int value) override { fixedAdvance_ = value; }
    void setSpacing(int value) override { spacing_ = value; }

    // Cuts the glyphs from a loaded strip (also used by loadFont).
    bool cut(std::unique_ptr<epiBitmap> strip);
    int glyphWidth(unsigned char c) const { return widths_[c]; }
    const epiRect& glyphBox(unsigned char c) const { return boxes_[c]; }
    int glyphHeight() const { return glyphHeight_; }
    int advance(unsigned char c) const;

private:
    std::unique_ptr<epiBitmap> strip_;
    epiRect boxes_[256];
    int widths_[256] = {};
    int glyphHeight_ = 0;
    int fixedAdvance_ = 0;
    int spacing_ = 0;
};
