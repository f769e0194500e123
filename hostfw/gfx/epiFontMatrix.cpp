#include "hostfw/gfx/epiFontMatrix.h"

#include "hostfw/core/epiText.h"
#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/res/epiResources.h"
#include "hostfw/res/epiXmlChunk.h"

#include <algorithm>
#include <cmath>

namespace {

long childLong(const epiXmlChunk& parent, const char* name)
{
    return parent.getChild(name).getText().toLong();
}

// "a,b,c,d" into the integers; missing fields read 0.
void readFields(const epiText& value, int* fields, int count)
{
    epiText field;
    for (int i = 0; i < count; ++i)
        fields[i] =
            static_cast<int>(value.getField(field, static_cast<std::size_t>(i), ',').toLong());
}

} // namespace

epiFont_FontMatrix::epiFont_FontMatrix() = default;
epiFont_FontMatrix::~epiFont_FontMatrix() = default;

bool epiFont_FontMatrix::loadFont(epiResources& resources, epiFourCC code)
{
    std::unique_ptr<epiBitmap> image = loadImage(resources, fileName("fontmatrix_", code, ".png"));
    if (!image)
        return false;
    epiText xml;
    if (!loadText(resources, fileName("fontmatrix_", code, ".xml").getCStr(), xml))
        return false;
    return setUp(std::move(image), xml);
}

bool epiFont_FontMatrix::setUp(std::unique_ptr<epiBitmap> image, const epiText& xml)
{
    if (!image)
        return false;
    image_ = std::move(image);
    readDescription(xml);
    return true;
}

void epiFont_FontMatrix::readDescription(const epiText& xml)
{
    epiXmlChunk root;
    root.setText(xml);
    const epiXmlChunk table =
        root.getChild("epi").getChild("content").getChild("gliphsdisplacements");
    firstCode_ = static_cast<int>(childLong(table, "gliphcodestart"));
    lastCode_ = static_cast<int>(childLong(table, "gliphcodeend"));
    // The count divides a pixel among the variants and indexes them: it is
    // held to what a glyph record holds.
    variants_ = static_cast<int>(
        std::clamp(childLong(table, "inpixeloffsets"), 1L, static_cast<long>(kMaxVariants)));
    boxHeight_ = static_cast<int>(childLong(table, "gliphboxheight"));

    epiXmlChunkEnumerator glyphs(table.getChild("elems"));
    glyphs.setName("gliph");
    epiXmlChunk content, tag;
    while (glyphs.next(content, tag)) {
        // Codes and indices come from the file: out-of-range ones would
        // write outside the tables, so those glyphs and variants are ignored.
        const long code = childLong(content, "code");
        if (code < 0 || code > 255)
            continue;
        Glyph& glyph = glyphs_[code];
        glyph.advance = static_cast<float>(content.getChild("advance").getText().toFloat());
        epiXmlChunkEnumerator offsets(content);
        offsets.setName("offset");
        epiXmlChunk offset, offsetTag;
        while (offsets.next(offset, offsetTag)) {
            const long index = childLong(offset, "index");
            if (index < 0 || index >= kMaxVariants)
                continue;
            int area[4];
            int pos[2];
            readFields(offset.getChild("copyarea").getText(), area, 4);
            readFields(offset.getChild("boxpos").getText(), pos, 2);
            Variant& variant = glyph.variants[index];
            variant.copyArea.set(area[0], area[1], area[2] + 2, area[3] + 2);
            variant.boxPos.set(pos[0], pos[1]);
        }
    }
}

void epiFont_FontMatrix::setAdvance(int value)
{
    for (Glyph& glyph : glyphs_)
        glyph.advance = static_cast<float>(value);
}

int epiFont_FontMatrix::measureOn(epiBitmap*, int, const char* text)
{
    float total = 0.0f;
    for (const char* p = text; p && *p; ++p)
        total += glyphs_[static_cast<unsigned char>(*p)].advance + kerning_ + 0.5f;
    return 1 + static_cast<int>(total);
}

void epiFont_FontMatrix::drawOnBitmap(epiBitmap& bitmap, int flags, const epiRect& rect,
                                      const epiColor& colour, const char* text, const epiRect* clip)
{
    if (!image_ || !text)
        return;
    const float width = static_cast<float>(measureOn(&bitmap, flags, text));
    float x = static_cast<float>(rect.left);
    if (flags & 0x1)
        x = rect.left + rect.getWidth() / 2.0f - width / 2.0f;
    else if (flags & 0x2)
        x = rect.right - width - 1.0f;
    for (const char* p = text; *p; ++p) {
        const Glyph& glyph = glyphs_[static_cast<unsigned char>(*p)];
        const float whole = std::floor(x);
        const int v = std::clamp(static_cast<int>((x - whole) * variants_), 0, variants_ - 1);
        const Variant& variant = glyph.variants[v];
        epiRect source = variant.copyArea;
        if (source.getWidth() > 0 && source.getHeight() > 0) {
            const int left = static_cast<int>(whole) + source.left - variant.boxPos.x;
            const int top = rect.top + source.top - variant.boxPos.y;
            epiRect target(left, top, left + source.getWidth(), top + source.getHeight());
            if (clip && !clip->contains(target))
                clip->clipPair(source, target);
            if (source.getWidth() > 0 && source.getHeight() > 0)
                bitmap.tint(*image_, &source, &target, colour);
        }
        x += glyph.advance + kerning_ + 0.5f;
    }
}
