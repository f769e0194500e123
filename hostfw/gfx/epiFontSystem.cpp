#include "hostfw/gfx/epiFontSystem.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/gfx/epiTextFace.h"
#include "hostfw/res/epiXmlChunk.h"

#include <cmath>
#include <cstdio>

bool epiFont_FontSystem::loadFont(epiResources& resources, epiFourCC code)
{
    const epiText name = fileName("fontsystem_", code, ".xml");
    epiText xml;
    if (!loadText(resources, name.getCStr(), xml))
        return false;
    readDescription(xml);
    std::printf("Found font type 3 <%s> <%s> %d\n", name.getCStr(), family_.getCStr(), size_);
    return true;
}

void epiFont_FontSystem::readDescription(const epiText& xml)
{
    epiXmlChunk root;
    root.setText(xml);
    const epiXmlChunk content = root.getChild("epi").getChild("content");
    for (const char* section : {"allplatforms", "win32"}) {
        epiXmlChunk values, tag;
        if (!content.findChild(section, values, tag))
            continue;
        epiXmlChunk value;
        if (values.findChild("family", value, tag))
            family_ = value.getText();
        if (values.findChild("size", value, tag))
            size_ = value.getText().toInt();
        if (values.findChild("bold", value, tag))
            bold_ = value.getText().toInt() != 0;
        if (values.findChild("italic", value, tag))
            italic_ = value.getText().toInt() != 0;
        if (values.findChild("kerning", value, tag))
            kerning_ = value.getText().toInt();
    }
}

int epiFont_FontSystem::styleFlags(int flags) const
{
    return (flags & (epiTextFace::kCentre | epiTextFace::kRight)) |
           (bold_ ? epiTextFace::kBold : 0) | (italic_ ? epiTextFace::kItalic : 0);
}

void epiFont_FontSystem::drawOnBitmap(epiBitmap& bitmap, int flags, const epiRect& rect,
                                      const epiColor& colour, const char* text, const epiRect* clip)
{
    epiDrawCommand command;
    command.command = epiCode("ntxt");
    command.target = &rect;
    command.clip = clip;
    command.colour = colour;
    command.text.assign(text);
    command.fontSize = static_cast<float>(size_);
    command.family = family_;
    command.flags = styleFlags(flags);
    bitmap.drawCommand(command);
}

int epiFont_FontSystem::measureOn(epiBitmap*, int flags, const char* text)
{
    return static_cast<int>(
        std::ceil(epiTextFace::measure(text, family_.getCStr(), size_, styleFlags(flags)) - 1e-6));
}
