#include "editor/widgets/MenuGlyphs.h"

#include <array>
#include <vector>

namespace Zq::Application::Widgets {

namespace {

// A row's run of pixels: first column and count.
struct Run {
    int row, column, count;
};

Graphics::Bitmap build(const std::vector<Run>& runs, std::uint32_t colour)
{
    Graphics::Bitmap glyph;
    glyph.allocate(MenuGlyphs::size, MenuGlyphs::size);
    glyph.hasAlpha = true;
    for (const Run& run : runs)
        for (int x = run.column; x < run.column + run.count; ++x)
            glyph.pixels[static_cast<std::size_t>(run.row) * MenuGlyphs::size + x] = colour;
    return glyph;
}

std::vector<Run> runsOf(MenuGlyphs::Shape shape)
{
    switch (shape) {
    case MenuGlyphs::RightArrow: // 1, 2, 3, 4, 3, 2, 1 from column 4
        return {{2, 4, 1}, {3, 4, 2}, {4, 4, 3}, {5, 4, 4}, {6, 4, 3}, {7, 4, 2}, {8, 4, 1}};
    case MenuGlyphs::UpArrow: // 1, 3, 5, 7 centred on column 4
        return {{3, 4, 1}, {4, 3, 3}, {5, 2, 5}, {6, 1, 7}};
    case MenuGlyphs::DownArrow:
        return {{3, 1, 7}, {4, 2, 5}, {5, 3, 3}, {6, 4, 1}};
    default: // the check dot: 3, 5, 5, 5, 3 centred on column 5
        return {{3, 4, 3}, {4, 3, 5}, {5, 3, 5}, {6, 3, 5}, {7, 4, 3}};
    }
}

} // namespace

const Graphics::Bitmap& MenuGlyphs::get(Shape shape, bool white)
{
    static const auto glyphs = [] {
        std::array<std::array<Graphics::Bitmap, 2>, ShapeCount> all;
        for (int s = 0; s < ShapeCount; ++s) {
            all[s][0] = build(runsOf(static_cast<Shape>(s)), 0xFF000000u);
            all[s][1] = build(runsOf(static_cast<Shape>(s)), 0xFFFFFFFFu);
        }
        return all;
    }();
    return glyphs[shape][white ? 1 : 0];
}

} // namespace Zq::Application::Widgets
