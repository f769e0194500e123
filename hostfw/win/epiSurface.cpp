#include "hostfw/win/epiSurface.h"

#include "hostfw/gfx/epiBitmap.h"

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

} // namespace epiSurface
