#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/core/epiObject.h"
#include "hostfw/ui/epiRect.h"

#include <memory>

class epiBitmap;
class epiResources;
class epiText;

// A font named by a four-character code, drawn into a rectangle of a bitmap
// or a window and measured in pixels. Alignment flags: 0x1 centres the text on
// the rectangle's horizontal centre, 0x2 aligns it right, neither left. Text
// is drawn from the rectangle's top. A clip (or none) limits what is drawn.
class epiFont : public epiObject {
public:
    epiFont() = default;
    epiFont(const epiFont&) = delete;
    epiFont& operator=(const epiFont&) = delete;

    virtual bool loadFont(epiResources& /*resources*/, epiFourCC /*code*/) { return false; }
    virtual void drawOnBitmap(epiBitmap& /*bitmap*/, int /*flags*/, const epiRect& /*rect*/,
                              const epiColor& /*colour*/, const char* /*text*/,
                              const epiRect* /*clip*/)
    {
    }
    // A window is drawn on through its back buffer (an epiBitmapShowTarget);
    // nothing is drawn on any other object.
    virtual void drawOnWindow(epiObject* window, int flags, const epiRect& rect,
                              const epiColor& colour, const char* text, const epiRect* clip);
    virtual int measureOn(epiBitmap* /*bitmap*/, int /*flags*/, const char* /*text*/) { return 0; }
    int measure(int flags, const char* text) { return measureOn(nullptr, flags, text); }
    virtual void setAdvance(int /*value*/) {}
    virtual void setSpacing(int /*value*/) {}

protected:
    // A file of the 'fnts' category: from its path for a folder source, else
    // through the resource service's loadData. The image is a bitmap of the
    // resource service's createBitmap, or null when it does not load.
    static std::unique_ptr<epiBitmap> loadImage(epiResources& resources, const epiText& name);
    static bool loadText(epiResources& resources, const char* name, epiText& text);
    // The file name: prefix, the code's four characters, extension.
    static epiText fileName(const char* prefix, epiFourCC code, const char* extension);
};
