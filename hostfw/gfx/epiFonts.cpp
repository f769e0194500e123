#include "hostfw/gfx/epiFonts.h"

#include "hostfw/gfx/epiFontMatrix.h"
#include "hostfw/gfx/epiFontStrip.h"
#include "hostfw/gfx/epiFontSystem.h"

epiFonts::epiFonts() = default;
epiFonts::~epiFonts() = default;

epiFont* epiFonts::getFont(epiFourCC code)
{
    if (code == 0)
        return list_.empty() ? nullptr : list_.front().font.get();
    for (const epiFontListElem& elem : list_)
        if (elem.code == code)
            return elem.font.get();
    epiFontListElem elem;
    elem.code = code;
    if (resources_) {
        std::unique_ptr<epiFont> kinds[] = {std::make_unique<epiFont_FontStrip>(),
                                            std::make_unique<epiFont_FontMatrix>(),
                                            std::make_unique<epiFont_FontSystem>()};
        for (std::unique_ptr<epiFont>& kind : kinds) {
            if (kind->loadFont(*resources_, code)) {
                elem.font = std::move(kind);
                break;
            }
        }
    }
    list_.push_back(std::move(elem));
    return list_.back().font.get();
}

void epiFonts::drawText(epiFourCC code, epiBitmap& bitmap, int flags, const epiRect& rect,
                        const epiColor& colour, const char* text, const epiRect* clip)
{
    if (epiFont* font = getFont(code))
        font->drawOnBitmap(bitmap, flags, rect, colour, text, clip);
}

void epiFonts::drawTextOnWindow(epiFourCC code, epiObject* window, int flags, const epiRect& rect,
                                const epiColor& colour, const char* text, const epiRect* clip)
{
    if (epiFont* font = getFont(code))
        font->drawOnWindow(window, flags, rect, colour, text, clip);
}

int epiFonts::measureText(epiFourCC code, epiBitmap* bitmap, int flags, const char* text)
{
    epiFont* font = getFont(code);
    return font ? font->measureOn(bitmap, flags, text) : 0;
}
