#include <sstream>

#include <gtest/gtest.h>

#include "editor/graphics/Font.h"
#include "editor/graphics/Painter.h"
#include "tests/editor/graphics/TgaFiles.h"

using namespace Zq::Application::Graphics;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr int kHeight = 10; // glyph cells 5 high, marker row 8

// A font image with runs for codes 0..99 only: 'A' 4 pixels wide, 'B' 9, the
// rest 1. Each glyph fills its cell with red 10 + code (its coverage) over
// green and blue that must not matter.
struct FontImage {
    FontImage()
    {
        std::vector<std::pair<int, int>> runs;
        int x = 0;
        for (int code = 0; code < 100; ++code) {
            x += 1; // separator
            const int w = code == 'A' ? 4 : code == 'B' ? 9 : 1;
            runs.push_back({x, w});
            x += w;
        }
        width = x + 3;
        pixels.assign(static_cast<std::size_t>(width) * kHeight, kBlack);
        for (int code = 0; code < 100; ++code)
            for (int cx = runs[code].first; cx < runs[code].first + runs[code].second; ++cx) {
                pixels[(kHeight - 2) * width + cx] = 0xFFFFFFFF;
                for (int y = 0; y < kHeight - 5; ++y)
                    pixels[y * width + cx] = 0xFF007F7Fu | static_cast<std::uint32_t>(10 + code)
                                                               << 16;
            }
        xOfA = runs['A'].first;
    }
    Font font(int height = kHeight) const
    {
        std::vector<std::uint32_t> cut(
            pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(width) * height);
        if (height < kHeight) // keep a marker row at height - 2
            std::copy_n(pixels.begin() + (kHeight - 2) * width, width,
                        cut.begin() + (height - 2) * width);
        const std::string file = test::tga::file({.width = static_cast<std::uint16_t>(width),
                                                  .height = static_cast<std::uint16_t>(height)},
                                                 cut);
        std::istringstream stream(file);
        return Font(stream, file.size());
    }
    int width = 0;
    int xOfA = 0;
    std::vector<std::uint32_t> pixels;
};

// The columns a drawing touched, left to right.
std::vector<int> paintedColumns(const std::vector<std::uint32_t>& pixels, int w, int h)
{
    std::vector<int> columns;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            if (pixels[y * w + x] != 0) {
                columns.push_back(x);
                break;
            }
    return columns;
}

} // namespace

TEST(Font, CuttingConvertsRedToCoverageAndLeavesMissingCodesEmpty)
{
    const FontImage source;
    const Font font = source.font();
    EXPECT_EQ(font.getCell('A').x, source.xOfA);
    EXPECT_EQ(font.getCell('A').width, 4);
    EXPECT_EQ(font.getCell('A').height, kHeight - 5);
    EXPECT_EQ(font.getCell(99).width, 1);
    for (int code : {100, 101, 127}) {
        EXPECT_EQ(font.getCell(static_cast<char>(code)).width, 0) << code;
        EXPECT_EQ(font.getCell(static_cast<char>(code)).x, source.width) << code;
    }
    // Codes 128..255 read as negative and fall back to cell 0.
    EXPECT_EQ(font.getCell(static_cast<char>(200)).x, font.getCell(0).x);
    EXPECT_EQ(font.image().pixels[source.xOfA],
              static_cast<std::uint32_t>(10 + 'A') << 24 | 0xFFFFFF);
    EXPECT_EQ(font.image().pixels[0], 0x00FFFFFFu);

    EXPECT_EQ(font.measure("AB", 0).x, 13);
    EXPECT_EQ(font.measure("Ad", 0).x, 4); // 'd' is code 100: zero width
    EXPECT_EQ(font.measure("Ad", 7).x, 14);
    EXPECT_EQ(font.measure("", 0).y, 0);
    EXPECT_EQ(font.measure("A", 0).y, kHeight - 5);
    // Images 2 to 4 rows high keep their marker row and get cells 0 high.
    for (int height : {2, 3, 4}) {
        const Font low = source.font(height);
        EXPECT_EQ(low.getCell('A').width, 4) << height;
        EXPECT_EQ(low.getCell('A').height, 0) << height;
        EXPECT_EQ(low.measure("A", 0).y, 0) << height;
    }
}

TEST(Font, TextPlacementAsOneTable)
{
    const Font font = FontImage().font();
    struct Case {
        const char* name;
        std::function<void(Painter&)> draw;
        std::vector<int> columns;
    };
    const char c200[] = {static_cast<char>(200), 0};
    auto range = [](int from, int to) {
        std::vector<int> r;
        for (int x = from; x < to; ++x)
            r.push_back(x);
        return r;
    };
    const Case cases[] = {
        {"a glyph draws at the point",
         [&](Painter& p) {
             p.drawText(font, 0xFFFFFFFF, "A", {3, 0}, 0);
         },
         range(3, 7)},
        {"fixed width 7 puts a 4-pixel glyph 2 pixels in",
         [&](Painter& p) {
             p.drawText(font, 0xFFFFFFFF, "AA", {0, 0}, 7);
         },
         {2, 3, 4, 5, 9, 10, 11, 12}},
        {"a glyph wider than the fixed width overlaps the next",
         [&](Painter& p) {
             p.drawText(font, 0xFFFFFFFF, "BA", {0, 0}, 3);
         },
         range(0, 9)},
        {"code 100 and up advance by 0",
         [&](Painter& p) {
             p.drawText(font, 0xFFFFFFFF, "dA", {1, 0}, 0);
         },
         range(1, 5)},
        {"character 200 draws glyph 0",
         [&](Painter& p) {
             p.drawText(font, 0xFFFFFFFF, c200, {5, 0}, 0);
         },
         {5}},
        {"alignment 0 starts at the rectangle",
         [&](Painter& p) {
             p.drawTextAligned(font, 0xFFFFFFFF, "AC", {6, 0, 11, 5}, 0, 0);
         },
         range(6, 11)},
        // 11 / 2 - 5 / 2 = 5 - 2 = 3: both halves truncate.
        {"alignment 1 truncates both halves",
         [&](Painter& p) {
             p.drawTextAligned(font, 0xFFFFFFFF, "AC", {0, 0, 11, 5}, 1, 0);
         },
         range(3, 8)},
        {"alignment 2 ends at the right edge",
         [&](Painter& p) {
             p.drawTextAligned(font, 0xFFFFFFFF, "AC", {0, 0, 11, 5}, 2, 0);
         },
         range(6, 11)},
        {"alignment 3 draws at the origin",
         [&](Painter& p) {
             p.drawTextAligned(font, 0xFFFFFFFF, "AC", {9, 2, 11, 5}, 3, 0);
         },
         range(0, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint32_t> target(30 * 6, 0);
        Painter p({30, 6}, 30 * 4, target.data());
        c.draw(p);
        EXPECT_EQ(paintedColumns(target, 30, 6), c.columns);
    }
}

TEST(Font, TextTintsWithTheCoverageOnly)
{
    const Font font = FontImage().font();
    std::uint32_t target = 0;
    Painter p({1, 1}, 4, &target);
    // Colour alpha 0 still draws: text weights by the glyph's coverage alone.
    p.drawText(font, 0x00FF0000, "A", {0, 0}, 0);
    const std::uint32_t coverage = 10 + 'A';
    EXPECT_EQ(target, ((255 * coverage) >> 8) << 16);
}
