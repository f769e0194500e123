#include "GfxTestSupport.h"
#include "ResourceFixture.h"

#include "hostfw/gfx/epiFontMatrix.h"
#include "hostfw/gfx/epiFontStrip.h"
#include "hostfw/gfx/epiFontSystem.h"
#include "hostfw/gfx/epiFonts.h"
#include "hostfw/gfx/epiTextFace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using gfxtest::argb;
using gfxtest::colour;
using gfxtest::makePng;
using gfxtest::makeStrip;
using gfxtest::RecordingResources;
using gfxtest::ResourceSources;

namespace {

// Glyph widths 1..4 by byte value, and a pattern per glyph that shows its
// columns: full coverage on the glyph's first column and on its row c % 3.
struct KnownStrip {
    KnownStrip()
    {
        for (int c = 0; c < 256; ++c)
            widths[c] = 1 + c % 4;
        png = makeStrip(widths, 5, [](int c, int x, int y) -> std::uint32_t {
            return (x == 0 || y == c % 3) ? 255 : 0;
        });
    }
    int widths[256];
    std::string png;
};

const KnownStrip& knownStrip()
{
    static const KnownStrip strip;
    return strip;
}

std::unique_ptr<epiBitmap> bitmapOf(const std::string& png)
{
    auto bitmap = std::make_unique<epiBitmap>();
    epiFileDump dump;
    dump.copyFrom(png.data(), png.size());
    EXPECT_TRUE(bitmap->loadFromDumps(dump, nullptr));
    return bitmap;
}

std::unique_ptr<epiFont_FontStrip> knownStripFont()
{
    auto font = std::make_unique<epiFont_FontStrip>();
    EXPECT_TRUE(font->cut(bitmapOf(knownStrip().png)));
    return font;
}

std::string systemXml(const char* allplatforms, const char* win32)
{
    return std::string("<epi><content><allplatforms>") + allplatforms + "</allplatforms><win32>" +
           win32 + "</win32></content></epi>";
}

// The pixels of a bitmap as rows of '#' (drawn) and '.' (untouched).
std::vector<std::string> picture(const epiBitmap& bitmap)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.getHeight(); ++y) {
        std::string row;
        for (int x = 0; x < bitmap.getWidth(); ++x)
            row += bitmap.getPixel(x, y) == 0             ? '.'
                   : bitmap.getPixel(x, y) == 0xFFFFFFFFu ? '#'
                                                          : '+';
        rows.push_back(row);
    }
    return rows;
}

} // namespace

TEST(FontList, AStripLoadsWithoutAskingForOtherKindsAndAMissingCodeIsTriedOnce)
{
    ResourceSources sources({{"fonts/fontstrip_aa10.png", knownStrip().png},
                             {"fonts/fontsystem_sys1.xml", systemXml("<size>9</size>", "")}});
    for (const std::string& path : {sources.folder(), sources.pack()}) {
        RecordingResources resources;
        ASSERT_TRUE(resources.openSourceFile(epiPath(path)));
        epiFonts& fonts = resources.fonts();
        EXPECT_EQ(fonts.getFont(0), nullptr);

        epiFont* strip = fonts.getFont(epiCode("aa10"));
        ASSERT_NE(dynamic_cast<epiFont_FontStrip*>(strip), nullptr) << path;
        EXPECT_EQ(resources.asked, std::vector<std::string>{"fontstrip_aa10.png"});
        EXPECT_EQ(fonts.getFont(epiCode("aa10")), strip);
        EXPECT_EQ(fonts.getFont(0), strip);

        resources.asked.clear();
        EXPECT_EQ(fonts.getFont(epiCode("none")), nullptr);
        const std::vector<std::string> tried{"fontstrip_none.png", "fontmatrix_none.png",
                                             "fontsystem_none.xml"};
        EXPECT_EQ(resources.asked, tried);
        EXPECT_EQ(fonts.getFont(epiCode("none")), nullptr);
        EXPECT_EQ(resources.asked, tried);
        EXPECT_EQ(fonts.size(), 2u);

        testing::internal::CaptureStdout();
        EXPECT_NE(dynamic_cast<epiFont_FontSystem*>(fonts.getFont(epiCode("sys1"))), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Found font type 3 <fontsystem_sys1.xml> <Arial> 9\n");

        // Drawing and measuring through the list; nothing for a missing font.
        epiBitmap target;
        ASSERT_TRUE(target.create(20, 10));
        fonts.drawText(epiCode("none"), target, 0, epiRect(0, 0, 20, 10), colour(255, 255, 255),
                       "ab", nullptr);
        EXPECT_EQ(target.getPixel(0, 0), 0u);
        EXPECT_EQ(fonts.measureText(epiCode("none"), nullptr, 0, "ab"), 0);
        fonts.drawText(epiCode("aa10"), target, 0, epiRect(0, 0, 20, 10), colour(255, 255, 255),
                       "ab", nullptr);
        EXPECT_EQ(target.getPixel(0, 0), 0xFFFFFFFFu);
        EXPECT_EQ(fonts.measureText(epiCode("aa10"), &target, 0, "ab"), 2 + 3);
    }
}

TEST(StripFont, AdvancesAlignmentAndPixels)
{
    auto font = knownStripFont();
    const int* w = knownStrip().widths;
    EXPECT_EQ(font->glyphHeight(), 5);
    for (int c = 1; c < 256; ++c)
        ASSERT_EQ(font->glyphWidth(static_cast<unsigned char>(c)), w[c]) << c;

    struct Case {
        int advance;
        int spacing;
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {0, 0, "", 0},
        {0, 0, "abc.", w['a'] + w['b'] + w['c'] + w['.']},
        {0, 2, "abc.", w['a'] + w['b'] + w['c'] + w['.'] + 8},
        {5, 2, "abc.", 20},
        {-7, 0, "abc.", 21 + w['.']},
        {-7, 3, "a..", 7 + 2 * (w['.'] + 3)},
    };
    for (const Case& c : cases) {
        font->setAdvance(c.advance);
        font->setSpacing(c.spacing);
        EXPECT_EQ(font->measure(0, c.text), c.expected)
            << "advance " << c.advance << " spacing " << c.spacing << " '" << c.text << "'";
    }

    // Fixed advance 31 for one glyph: centred, it starts 15 pixels left of
    // the centre; right-aligned it ends at the right edge.
    font->setAdvance(0);
    font->setSpacing(0);
    font->setAdvance(31);
    epiBitmap centred;
    ASSERT_TRUE(centred.create(100, 6));
    const epiRect rect(10, 0, 90, 6);
    font->drawOnBitmap(centred, 0x1, rect, colour(255, 255, 255), "a", nullptr);
    EXPECT_EQ(centred.getPixel(rect.centreX() - 15, 0), 0xFFFFFFFFu);
    EXPECT_EQ(centred.getPixel(rect.centreX() - 16, 0), 0u);
    epiBitmap right;
    ASSERT_TRUE(right.create(100, 6));
    font->drawOnBitmap(right, 0x2, rect, colour(255, 255, 255), "a", nullptr);
    EXPECT_EQ(right.getPixel(rect.right - 31, 0), 0xFFFFFFFFu);

    // A drawn text, pixel for pixel: 'a' (97: 2 columns, row 1 full), 'b'
    // (98: 3 columns, row 2), '.' (46: 3 columns, row 1), each with its first
    // column full; spacing 1, from (1, 1), clipped at x = 9.
    font->setAdvance(0);
    font->setSpacing(1);
    epiBitmap drawn;
    ASSERT_TRUE(drawn.create(12, 6));
    const epiRect clip(0, 0, 9, 6);
    font->drawOnBitmap(drawn, 0, epiRect(1, 1, 12, 6), colour(255, 255, 255), "ab.", &clip);
    // '#' full coverage, '+' a glyph's box without coverage (opaque black).
    const std::vector<std::string> expected{
        "............", ".#+.#++.#...", ".##.#++.#...",
        ".#+.###.#...", ".#+.#++.#...", ".#+.#++.#...",
    };
    EXPECT_EQ(picture(drawn), expected);
}

TEST(StripFont, DamagedStripsLoadOrFailWithoutRunningAway)
{
    struct Case {
        const char* name;
        int width;
        int height;
        std::vector<int> boundaries;
        bool loads;
    };
    std::vector<int> many;
    for (int b = 0; b < 255; ++b)
        many.push_back(b * 3);
    const Case cases[] = {
        {"no boundary", 40, 9, {}, true},
        {"one boundary", 40, 9, {5}, true},
        {"255 boundaries", 255 * 3 + 4, 9, many, true},
        {"one pixel wide", 1, 9, {0}, true},
        {"four pixels high", 40, 4, {0, 3}, false},
        {"one pixel high", 40, 1, {}, false},
    };
    for (const Case& c : cases) {
        const std::string png = makePng(c.width, c.height, [&](int x, int y) {
            const bool boundary =
                std::find(c.boundaries.begin(), c.boundaries.end(), x) != c.boundaries.end();
            return y == c.height - 3 && !boundary ? argb(255, 255, 255, 255) : argb(255, 0, 0, 0);
        });
        epiFont_FontStrip font;
        ASSERT_EQ(font.cut(bitmapOf(png)), c.loads) << c.name;
        if (!c.loads)
            continue;
        int total = 0;
        for (int ch = 0; ch < 256; ++ch) {
            const epiRect& box = font.glyphBox(static_cast<unsigned char>(ch));
            EXPECT_GE(font.glyphWidth(static_cast<unsigned char>(ch)), 0) << c.name;
            EXPECT_TRUE(box.left >= 0 && box.right <= c.width && box.isValid()) << c.name << ch;
            total += font.glyphWidth(static_cast<unsigned char>(ch));
        }
        EXPECT_LE(total, c.width + 1) << c.name;
        // Drawing every byte value stays inside the target.
        epiBitmap target;
        ASSERT_TRUE(target.create(30, 10));
        std::string all;
        for (int ch = 1; ch < 256; ++ch)
            all += static_cast<char>(ch);
        font.drawOnBitmap(target, 0x1, epiRect(0, 0, 30, 10), colour(1, 2, 3), all.c_str(),
                          nullptr);
    }
}

namespace {

// A matrix font of four variants. Glyph 'a' has variant v in column v of the
// image (red 255 - 60 v) and its origin at the copy area's left, so it lands
// in column floor(x) + v. 'c' draws nothing and steps a quarter pixel, as
// does 'a'; 'b' steps 3.2.
const char* kMatrixXml =
    "<epi><content><gliphsdisplacements>"
    "<gliphcodestart>32</gliphcodestart><gliphcodeend>127</gliphcodeend>"
    "<inpixeloffsets>4</inpixeloffsets><gliphboxheight>3</gliphboxheight><elems>"
    "<gliph><code>97</code><advance>-0.25</advance>"
    "<offset><index>0</index><copyarea>0,0,-1,0</copyarea><boxpos>0,0</boxpos></offset>"
    "<offset><index>1</index><copyarea>1,0,0,0</copyarea><boxpos>0,0</boxpos></offset>"
    "<offset><index>2</index><copyarea>2,0,1,0</copyarea><boxpos>0,0</boxpos></offset>"
    "<offset><index>3</index><copyarea>3,0,2,0</copyarea><boxpos>0,0</boxpos></offset>"
    "</gliph>"
    "<gliph><code>98</code><advance>2.7</advance></gliph>"
    "<gliph><code>99</code><advance>-0.25</advance></gliph>"
    "</elems></gliphsdisplacements></content></epi>";

std::unique_ptr<epiFont_FontMatrix> matrixFont(const char* xml)
{
    auto font = std::make_unique<epiFont_FontMatrix>();
    EXPECT_TRUE(font->setUp(
        bitmapOf(makePng(
            4, 2,
            [](int x, int) { return argb(255, 255 - 60 * static_cast<std::uint32_t>(x), 0, 0); })),
        epiText(xml)));
    return font;
}

} // namespace

TEST(MatrixFont, WidthsAndSubPixelVariants)
{
    auto font = matrixFont(kMatrixXml);
    EXPECT_EQ(font->variantCount(), 4);
    EXPECT_EQ(font->firstCode(), 32);
    EXPECT_EQ(font->lastCode(), 127);
    EXPECT_EQ(font->boxHeight(), 3);
    EXPECT_EQ(font->measure(0, ""), 1);
    // 1 + trunc(sum of advance + kerning + 0.5).
    EXPECT_EQ(font->measure(0, "b"), 1 + 3);
    EXPECT_EQ(font->measure(0, "bb"), 1 + 6);
    EXPECT_EQ(font->measure(0, "aaaa"), 1 + 1);
    font->setSpacing(5);
    EXPECT_EQ(font->measure(0, "bb"), 1 + 7);
    font->setSpacing(0);

    // After k quarter steps 'a' starts at x = k / 4: variant k, column k.
    for (int k = 0; k < 4; ++k) {
        epiBitmap target;
        ASSERT_TRUE(target.create(6, 3));
        const std::string text = std::string(static_cast<std::size_t>(k), 'c') + "a";
        font->drawOnBitmap(target, 0, epiRect(0, 0, 6, 3), colour(255, 255, 255), text.c_str(),
                           nullptr);
        const std::uint32_t grey = 255 - 60 * static_cast<std::uint32_t>(k);
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(target.getPixel(x, 1), x == k ? argb(255, grey, grey, grey) : 0u) << k;
    }
    font->setAdvance(5);
    EXPECT_EQ(font->measure(0, "ab"), 1 + 11);
}

TEST(MatrixFont, OutOfRangeIndicesAreIgnored)
{
    struct Case {
        const char* name;
        std::string xml;
        int variants;
    };
    auto description = [](const char* count, const char* code, const char* index) {
        return std::string("<epi><content><gliphsdisplacements><inpixeloffsets>") + count +
               "</inpixeloffsets><elems><gliph><code>" + code +
               "</code><advance>3</advance><offset><index>" + index +
               "</index><copyarea>0,0,1,1</copyarea><boxpos>0,0</boxpos></offset></gliph>"
               "<gliph><code>-4</code><advance>9</advance></gliph>"
               "</elems></gliphsdisplacements></content></epi>";
    };
    const Case cases[] = {
        {"code 300", description("4", "300", "0"), 4},
        {"index 16", description("4", "65", "16"), 4},
        {"index -1", description("4", "65", "-1"), 4},
        {"no variants", description("0", "65", "0"), 1},
        {"40 variants", description("40", "65", "15"), 16},
        {"nothing at all", "<epi></epi>", 1},
    };
    for (const Case& c : cases) {
        auto font = matrixFont(c.xml.c_str());
        EXPECT_EQ(font->variantCount(), c.variants) << c.name;
        for (int code = 0; code < 256; ++code)
            EXPECT_NE(font->glyph(static_cast<unsigned char>(code)).advance, 9.0f) << c.name;
        epiBitmap target;
        ASSERT_TRUE(target.create(8, 4));
        font->drawOnBitmap(target, 0x2, epiRect(0, 0, 8, 4), colour(9, 9, 9), "AAAA\xff", nullptr);
    }
    auto font = matrixFont(description("40", "65", "15").c_str());
    EXPECT_TRUE(font->glyph('A').variants[15].copyArea.equalsEdges(0, 0, 3, 3));
}

TEST(SystemFont, DescriptionsOverrideAndFamiliesMap)
{
    epiFont_FontSystem font;
    EXPECT_TRUE(font.family().equalsCString("Arial"));
    EXPECT_EQ(font.size(), 12);
    font.readDescription(epiText(systemXml("<family>Tahoma</family><size>14</size><bold>1</bold>",
                                           "<size>16</size><italic>1</italic>")));
    EXPECT_TRUE(font.family().equalsCString("Tahoma"));
    EXPECT_EQ(font.size(), 16);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(font.kerning(), 0);

    // It draws at 16 points: the same pixels as the bitmap's own text.
    epiBitmap viaFont;
    epiBitmap direct;
    ASSERT_TRUE(viaFont.create(120, 30));
    ASSERT_TRUE(direct.create(120, 30));
    const epiRect rect(2, 2, 118, 28);
    font.drawOnBitmap(viaFont, 0x1, rect, colour(200, 100, 0), "Gain 7", nullptr);
    direct.drawTextInRect("Gain 7", 16.0f, "Tahoma", rect, colour(200, 100, 0), 0x1 | 0x10 | 0x20);
    int drawn = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            ASSERT_EQ(viaFont.getPixel(x, y), direct.getPixel(x, y)) << x << "," << y;
            drawn += direct.getPixel(x, y) != 0;
        }
    EXPECT_GT(drawn, 30);
    EXPECT_GT(font.measure(0, "Gain 7"), 30);
    EXPECT_EQ(font.measure(0, ""), 0);

    for (const char* family : {"Arial", "Tahoma", "arial"})
        EXPECT_NE(std::strstr(epiTextFace::resolvedFile(family, false, false), "DejaVuSans"),
                  nullptr)
            << family;
    EXPECT_NE(std::strstr(epiTextFace::resolvedFile("Arial", true, false), "Bold"), nullptr);
}

// A window stand-in that hands out its back buffer.
namespace {
struct BufferedWindow : epiObject, epiBitmapShowTarget {
    epiBitmap* getBackBuffer() override { return &back; }
    epiBitmap back;
};
} // namespace

TEST(FontList, WindowsAreDrawnThroughTheirBackBuffer)
{
    ResourceSources sources({{"fonts/fontstrip_aa10.png", knownStrip().png}});
    epiResources resources;
    ASSERT_TRUE(resources.openSourceFile(epiPath(sources.pack())));
    BufferedWindow window;
    ASSERT_TRUE(window.back.create(10, 8));
    epiBitmap direct;
    ASSERT_TRUE(direct.create(10, 8));
    resources.fonts().drawTextOnWindow(epiCode("aa10"), &window, 0, epiRect(1, 1, 10, 8),
                                       colour(255, 0, 0), "ab", nullptr);
    resources.fonts().drawText(epiCode("aa10"), direct, 0, epiRect(1, 1, 10, 8), colour(255, 0, 0),
                               "ab", nullptr);
    EXPECT_EQ(picture(window.back), picture(direct));
    EXPECT_EQ(window.back.getPixel(1, 1), argb(255, 255, 0, 0));
    // Any other object is not drawn on.
    epiObject plain;
    resources.fonts().drawTextOnWindow(epiCode("aa10"), &plain, 0, epiRect(1, 1, 10, 8),
                                       colour(255, 0, 0), "ab", nullptr);
}
