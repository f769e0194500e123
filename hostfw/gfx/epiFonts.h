#pragma once

#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/gfx/epiFont.h"

#include <memory>
#include <vector>

class epiResources;

// One font of the list: its code and the font, or none when no kind loaded.
struct epiFontListElem {
    epiFourCC code = 0;
    std::unique_ptr<epiFont> font;
};

// The application's fonts by code, each loaded on first use from the resource
// service: a strip, else a matrix, else a system font. A code that loads as
// none of them is remembered without a font and not tried again.
class epiFonts : public epiApplicationObject {
public:
    epiFonts();
    ~epiFonts() override;

    void setResources(epiResources* resources) { resources_ = resources; }
    // Code 0 takes the first font of the list.
    epiFont* getFont(epiFourCC code);
    void drawText(epiFourCC code, epiBitmap& bitmap, int flags, const epiRect& rect,
                  const epiColor& colour, const char* text, const epiRect* clip);
    void drawTextOnWindow(epiFourCC code, epiObject* window, int flags, const epiRect& rect,
                          const epiColor& colour, const char* text, const epiRect* clip);
    // 0 for a code without a font.
    int measureText(epiFourCC code, epiBitmap* bitmap, int flags, const char* text);

    std::size_t size() const { return list_.size(); }
    void clear() { list_.clear(); }

private:
    epiResources* resources_ = nullptr;
    std::vector<epiFontListElem> list_;
};
