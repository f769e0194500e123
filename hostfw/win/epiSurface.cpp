#include "hostfw/win/epiSurface.h"

#include "hostfw/gfx/epiBitmap.h"
#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/res/epiResources.h"

#include <cstdlib>

namespace epiSurface {

bool hasArea(const epiRect& rect)
{
    return rect.getWidth() > 0 && rect.getHeight() > 0;
}

void addArea(epiRect& into, const epiRect& rect)
{
    if (!hasArea(rect))
        return;
    if (!hasArea(into))
        into.copy(rect);
    else
        into.unite(rect);
}

void fillRect(epiBitmap& surface, const epiRect& rect, const epiColor& colour)
{
    epiRect part(rect);
    part.intersect(surface.getBounds());
    if (hasArea(part))
        surface.fillRect(colour, &part);
}

void frameRect(epiBitmap& surface, const epiRect& rect, const epiColor& colour)
{
    if (hasArea(rect))
        surface.frameRectClipped(colour, &rect, surface.getBounds(), 1);
}

void drawLine(epiBitmap& surface, int x1, int y1, int x2, int y2, const epiRect& clip,
              const epiColor& colour, int width)
{
    epiRect cut(clip);
    cut.intersect(surface.getBounds());
    if (hasArea(cut))
        surface.drawLineClipped(x1, y1, x2, y2, cut, colour, width);
}

epiRect drawBitmap(epiBitmap& surface, const epiBitmap& bitmap, const epiRect& source,
                   const epiRect& destination, const epiRect& clip, bool blend)
{
    epiRect cut(clip);
    cut.intersect(surface.getBounds());
    if (!hasArea(cut) || !destination.intersects(cut))
        return {};
    epiRect from(source), to(destination);
    if (!cut.contains(destination))
        cut.clipPair(from, to);
    if (!hasArea(from) || !hasArea(to))
        return {};
    if (blend)
        surface.drawScaledFrom(bitmap, from, to, CAIRO_OPERATOR_OVER);
    else
        surface.blitFrom(bitmap, &from, &to);
    return to;
}

namespace {

// The bitmap sizes text in points at 96 dots per inch.
constexpr float kPointsPerPixel = 0.75f;

} // namespace

epiRect drawText(epiBitmap& surface, epiResources* resources, epiFourCC fontId, int alignment,
                 const epiRect& rect, const epiRect& clip, const char* text, const epiColor& colour)
{
    epiRect area(rect);
    area.intersect(clip);
    if (!resources || !text || !hasArea(area))
        return {};
    resources->fonts().drawText(fontId, surface, alignment, rect, colour, text, &clip);
    return area;
}

int measureText(epiBitmap* surface, epiResources* resources, epiFourCC fontId, int alignment,
                const char* text)
{
    return resources && text ? resources->fonts().measureText(fontId, surface, alignment, text) : 0;
}

epiRect drawShape(epiBitmap& surface, epiDrawCommand& record)
{
    epiDrawCommand order = record;
    if (order.command == epiCode("Favo"))
        order.command = epiCode("ovaF");
    else if (order.command == epiCode("Pavo"))
        order.command = epiCode("ovaP");
    order.fontSize = record.fontSize * kPointsPerPixel;
    surface.drawCommand(order);
    if (record.command == epiCode("ntxL")) {
        record.measuredWidth = order.measuredWidth;
        return {};
    }
    epiRect area = order.target ? *order.target : surface.getBounds();
    if (order.clip)
        area.intersect(*order.clip);
    // Pens reach a little past the rectangle.
    area.insetAll(-std::abs(order.penWidth));
    return area;
}

epiRect drawSystemText(epiBitmap& surface, const char* text, int height, const char* fontName,
                       const epiRect& rect, const epiColor& colour, int alignment)
{
    const int flags = alignment == 1 ? 0x1 : alignment == 2 ? 0x2 : 0;
    surface.drawTextInRect(text ? text : "", static_cast<float>(height) * kPointsPerPixel,
                           fontName ? fontName : "", rect, colour, flags);
    return rect;
}

} // namespace epiSurface
