#pragma once

#include "editor/graphics/Bitmap.h"

namespace Zq::Application::Widgets {

// The menu's four 10 x 10 glyphs, in black and in white, transparent around
// the shape; built once, on first use.
struct MenuGlyphs {
    enum Shape { RightArrow, UpArrow, DownArrow, Dot, ShapeCount };
    static constexpr int size = 10;

    static const Graphics::Bitmap& get(Shape shape, bool white);
};

} // namespace Zq::Application::Widgets
