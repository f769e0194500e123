#include "hostfw/gfx/epiFont.h"

#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResources.h"

void epiFont::drawOnWindow(epiObject* window, int flags, const epiRect& rect,
                           const epiColor& colour, const char* text, const epiRect* clip)
{
    auto* target = dynamic_cast<epiBitmapShowTarget*>(window);
    if (epiBitmap* back = target ? target->getBackBuffer() : nullptr)
        drawOnBitmap(*back, flags, rect, colour, text, clip);
}

std::unique_ptr<epiBitmap> epiFont::loadImage(epiResources& resources, const epiText& name)
{
    std::unique_ptr<epiBitmap> bitmap(resources.createBitmap());
    if (!bitmap)
        return nullptr;
    epiPath path;
    epiFileDump dump;
    bool loaded = false;
    if (resources.getResourceFilePath(name.getCStr(), epiCode("fnts"), path))
        loaded = bitmap->loadFromFiles(path, nullptr);
    else
        loaded = resources.loadData(name.getCStr(), epiCode("fnts"), dump) &&
                 bitmap->loadFromDumps(dump, nullptr);
    return loaded ? std::move(bitmap) : nullptr;
}

bool epiFont::loadText(epiResources& resources, const char* name, epiText& text)
{
    text.clear();
    epiPath path;
    epiFileDump dump;
    if (resources.getResourceFilePath(name, epiCode("fnts"), path)) {
        if (!dump.load(path))
            return false;
    } else if (!resources.loadData(name, epiCode("fnts"), dump)) {
        return false;
    }
    text.assignBytes(dump.getSize(), dump.getData());
    return true;
}

epiText epiFont::fileName(const char* prefix, epiFourCC code, const char* extension)
{
    epiText name(prefix);
    name.appendFourCC(code);
    name.append(extension);
    return name;
}
