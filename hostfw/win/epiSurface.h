#pragma once

#include "hostfw/app/epiColor.h"
#include "hostfw/ui/epiRect.h"

#include <cstdint>

class epiBitmap;
struct epiDrawCommand;
class epiResources;

// The drawing primitives of the objects that own a surface (a window's back
// buffer, a bitmap view's bitmap), carried out on that bitmap.
namespace epiSurface {

bool hasArea(const epiRect& rect);
// Unites, taking a rectangle without area as nothing.
void addArea(epiRect& into, const epiRect& rect);

void fillRect(epiBitmap& surface, const epiRect& rect, const epiColor& colour);
void frameRect(epiBitmap& surface, const epiRect& rect, const epiColor& colour);
void drawLine(epiBitmap& surface, int x1, int y1, int x2, int y2, const epiRect& clip,
              const epiColor& colour, int width);
// Nothing when destination and clip do not meet; a clip that does not hold
// the destination trims source and destination together. With blend the
// source is laid over at its own alpha, else copied as the bitmap copies
// itself (by its blend flag). Returns the destination drawn (no area: none).
epiRect drawBitmap(epiBitmap& surface, const epiBitmap& bitmap, const epiRect& source,
                   const epiRect& destination, const epiRect& clip, bool blend);

// Text in a font of the application's font list.
epiRect drawText(epiBitmap& surface, epiResources* resources, epiFourCC fontId, int alignment,
                 const epiRect& rect, const epiRect& clip, const char* text,
                 const epiColor& colour);
int measureText(epiBitmap* surface, epiResources* resources, epiFourCC fontId, int alignment,
                const char* text);

// The framework's shape records on the bitmap: 'Favo' and 'Pavo' are the
// filled and stroked ellipse, 'recP', 'ntxt', 'ntxL' and the bitmap's own
// commands as the bitmap draws them; font sizes come in pixels. Returns the
// area drawn on.
epiRect drawShape(epiBitmap& surface, epiDrawCommand& record);
epiRect drawSystemText(epiBitmap& surface, const char* text, int height, const char* fontName,
                       const epiRect& rect, const epiColor& colour, int alignment);

} // namespace epiSurface
