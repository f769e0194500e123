#pragma once

#include "hostfw/gfx/epiFont.h"

#include <memory>

class epiText;

// A font whose glyphs are cut from an image ("fontmatrix_" + code + ".png")
// at places an XML description ("fontmatrix_" + code + ".xml") gives, each
// glyph in up to 16 variants for the sub-pixel position it starts at.
class epiFont_FontMatrix : public epiFont {
public:
    static constexpr int kMaxVariants = 16;

    struct Variant {
        // The glyph's pixels in the image (right and bottom exclusive).
        epiRect copyArea;
        // The glyph's origin inside the copy area.
        epiPoint boxPos;
    };
    struct Glyph {
        Variant variants[kMaxVariants];
        float advance = 0.0f;
    };

    epiFont_FontMatrix();
    ~epiFont_FontMatrix() override;

    bool loadFont(epiResources& resources, epiFourCC code) override;
    void drawOnBitmap(epiBitmap& bitmap, int flags, const epiRect& rect, const epiColor& colour,
                      const char* text, const epiRect* clip) override;
    // 1 plus the sum of (advance + kerning + 0.5), truncated; 1 for no text.
    int measureOn(epiBitmap* bitmap, int flags, const char* text) override;
    // Every glyph's advance.
    void setAdvance(int value) override;
    // The kerning, in tenths of a pixel.
    void setSpacing(int value) override { kerning_ = value * 0.1f; }

    // Reads the description. Glyph codes outside 0..255 and variant indices
    // outside 0..15 are ignored; the variant count is held to 1..16. Elements
    // that are absent leave zeros.
    void readDescription(const epiText& xml);
    // Takes the glyph image and the description.
    bool setUp(std::unique_ptr<epiBitmap> image, const epiText& xml);

    const Glyph& glyph(unsigned char c) const { return glyphs_[c]; }
    int variantCount() const { return variants_; }
    int firstCode() const { return firstCode_; }
    int lastCode() const { return lastCode_; }
    int boxHeight() const { return boxHeight_; }

private:
    std::unique_ptr<epiBitmap> image_;
    Glyph glyphs_[256];
    int firstCode_ = 0;
    int lastCode_ = 0;
    int variants_ = 1;
    int boxHeight_ = 0;
    float kerning_ = 0.0f;
};
