#pragma once

#include "hostfw/core/epiText.h"
#include "hostfw/gfx/epiFont.h"

// A font of the system, described by "fontsystem_" + code + ".xml": the
// sections "allplatforms" then "win32" of <epi><content>, the later one
// overriding, each with optional family, size (points), bold, italic and
// kerning. Drawn through cairo (see epiTextFace).
class epiFont_FontSystem : public epiFont {
public:
    bool loadFont(epiResources& resources, epiFourCC code) override;
    void drawOnBitmap(epiBitmap& bitmap, int flags, const epiRect& rect, const epiColor& colour,
                      const char* text, const epiRect* clip) override;
    int measureOn(epiBitmap* bitmap, int flags, const char* text) override;

    void readDescription(const epiText& xml);

    const epiText& family() const { return family_; }
    int size() const { return size_; }
    bool bold() const { return bold_; }
    bool italic() const { return italic_; }
    int kerning() const { return kerning_; }

private:
    // The style flags of the face, joined to the caller's alignment.
    int styleFlags(int flags) const;

    epiText family_{"Arial"};
    int size_ = 12;
    bool bold_ = false;
    bool italic_ = false;
    int kerning_ = 0;
};
