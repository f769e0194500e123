#pragma once

#include <cstdint>

#include "editor/graphics/Painter.h"

namespace Zq::Application::Widgets {

// Draws the dirty part of an image that fills its widget from the top-left:
// plain for the colour 0xFFFFFFFF, else modulated by the colour. No image
// draws nothing.
inline void drawImageArea(Graphics::Painter& painter, const Graphics::Bitmap* image,
                          std::uint32_t colour, const Graphics::BasicRect<int>& dirty)
{
    if (!image)
        return;
    if (colour == 0xFFFFFFFFu)
        painter.drawBitmap(*image, {dirty.x, dirty.y}, dirty);
    else
        painter.drawBitmapColored(*image, 1, colour, {dirty.x, dirty.y}, dirty);
}

} // namespace Zq::Application::Widgets
