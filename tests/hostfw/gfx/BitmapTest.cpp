#include "GfxTestSupport.h"

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/core/epiFileDump.h"
#include "hostfw/gfx/epiBitmapDib.h"
#include "hostfw/gfx/epiDrawCommand.h"
#include "hostfw/gfx/epiPixel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using gfxtest::argb;
using gfxtest::colour;
using gfxtest::makePng;
using gfxtest::near;

namespace {

bool loadPng(epiBitmap& bitmap, const std::string& image, const std::string* mask = nullptr)
{
    epiFileDump imageDump;
    imageDump.copyFrom(image.data(), image.size());
    epiFileDump maskDump;
    if (mask)
        maskDump.copyFrom(mask->data(), mask->size());
    return bitmap.loadFromDumps(imageDump, mask ? &maskDump : nullptr);
}

// A bitmap filled with one straight colour, pixel by pixel through a PNG so
// that partial alpha is exact.
void fillWith(epiBitmap& bitmap, int width, int height, std::uint32_t straight)
{
    ASSERT_TRUE(loadPng(bitmap, makePng(width, height, [&](int, int) { return straight; })));
}

// Source over, in straight alpha.
std::uint32_t over(std::uint32_t source, std::uint32_t destination)
{
    const double sa = (source >> 24) / 255.0;
    const double da = (destination >> 24) / 255.0;
    const double oa = sa + da * (1.0 - sa);
    auto channel = [&](int shift) -> std::uint32_t {
        if (oa == 0.0)
            return 0;
        const double s = ((source >> shift) & 255) / 255.0;
        const double d = ((destination >> shift) & 255) / 255.0;
        return static_cast<std::uint32_t>(std::lround((s * sa + d * da * (1.0 - sa)) / oa * 255.0));
    };
    return argb(static_cast<std::uint32_t>(std::lround(oa * 255.0)), channel(16), channel(8),
                channel(0));
}

// tint: old × (1 - m) + colour × m per channel, opaque.
std::uint32_t tinted(std::uint32_t old, std::uint32_t maskRed, const epiColor& c)
{
    const double m = maskRed / 255.0;
    auto mix = [&](std::uint32_t o, std::uint32_t t) {
        return static_cast<std::uint32_t>(std::lround((o / 255.0 * (1 - m) + t / 255.0 * m) * 255));
    };
    return argb(255, mix((old >> 16) & 255, c.red), mix((old >> 8) & 255, c.green),
                mix(old & 255, c.blue));
}

int countAlpha(const epiBitmap& bitmap, bool partial)
{
    int count = 0;
    for (int y = 0; y < bitmap.getHeight(); ++y)
        for (int x = 0; x < bitmap.getWidth(); ++x) {
            const std::uint32_t a = bitmap.getPixel(x, y) >> 24;
            count += partial ? (a != 0 && a != 255) : (a == 255);
        }
    return count;
}

} // namespace

TEST(Bitmap, CreationSizesAndTheEmptyBitmap)
{
    epiBitmap bitmap;
    EXPECT_EQ(bitmap.getKind(), epiCode("obit"));
    EXPECT_EQ(bitmap.getSurface(), nullptr);
    // Without a surface every operation does nothing.
    EXPECT_EQ(bitmap.getPixel(0, 0), 0u);
    bitmap.fillRect(colour(255, 0, 0), nullptr);
    unsigned char* rows = nullptr;
    int stride = 0;
    EXPECT_FALSE(bitmap.lockPixels(rows, stride));

    EXPECT_FALSE(bitmap.create(0, 5));
    EXPECT_FALSE(bitmap.create(5, -1));
    bitmap.setBlend(false);
    ASSERT_TRUE(bitmap.createFromRect(epiRect(10, 10, 17, 13)));
    EXPECT_TRUE(bitmap.getBlend());
    EXPECT_TRUE(bitmap.getSize().equals({7, 3}));
    EXPECT_TRUE(bitmap.getBounds().equalsEdges(0, 0, 7, 3));
    ASSERT_TRUE(bitmap.lockPixels(rows, stride));
    EXPECT_GE(stride, 7 * 4);
    bitmap.unlockPixels();

    epiBitmap copy;
    bitmap.setPixel(6, 2, colour(1, 2, 3));
    ASSERT_TRUE(copy.copyFrom(bitmap));
    EXPECT_TRUE(copy.getSize().equals({7, 3}));
    EXPECT_EQ(copy.getPixel(6, 2), argb(255, 1, 2, 3));
    bitmap.releaseSurface();
    EXPECT_TRUE(bitmap.getSize().equals({0, 0}));
}

TEST(Bitmap, PixelOperationsGiveStraightValues)
{
    const std::uint32_t below = argb(200, 40, 80, 120);
    const std::uint32_t above = argb(128, 250, 10, 60);

    // getPixel outside the bounds, setPixel always opaque.
    epiBitmap plain;
    ASSERT_TRUE(plain.create(4, 3));
    plain.setPixel(1, 1, colour(10, 20, 30, 7));
    EXPECT_EQ(plain.getPixel(1, 1), argb(255, 10, 20, 30));
    plain.setPixel(4, 0, colour(10, 20, 30));
    plain.setPixel(-1, 0, colour(10, 20, 30));
    for (auto [x, y] : std::vector<std::pair<int, int>>{{-1, 0}, {4, 0}, {0, 3}, {0, -1}, {99, 99}})
        EXPECT_EQ(plain.getPixel(x, y), 0u) << x << "," << y;
    std::uint32_t out = 1;
    plain.getPixel(1, 1, &out);
    EXPECT_EQ(out, argb(255, 10, 20, 30));

    epiBitmap source;
    fillWith(source, 4, 3, above);
    struct Case {
        const char* name;
        bool blend;
        epiRect destination;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"equal sizes with the blend flag: source over", true, epiRect(0, 0, 4, 3),
         over(above, below)},
        {"equal sizes without it: colours copied, alpha 255", false, epiRect(0, 0, 4, 3),
         argb(255, 250, 10, 60)},
        {"different sizes: scaled and blended", false, epiRect(0, 0, 8, 6), over(above, below)},
    };
    for (const Case& c : cases) {
        epiBitmap target;
        fillWith(target, 10, 8, below);
        source.setBlend(c.blend);
        target.blitFrom(source, nullptr, &c.destination);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool inside = x < c.destination.right && y < c.destination.bottom;
                const std::uint32_t want = inside ? c.expected : below;
                ASSERT_TRUE(near(target.getPixel(x, y), want, 2))
                    << c.name << " at " << x << "," << y << ": " << std::hex
                    << target.getPixel(x, y) << " want " << want;
            }
    }

    // tintFromMask: each pixel of the mask rectangle mixes old and colour by
    // the mask's red; the combined rectangle is the union.
    epiBitmap mask;
    ASSERT_TRUE(loadPng(mask, makePng(3, 2, [](int x, int y) {
                            return argb(255, static_cast<std::uint32_t>(x * 100 + y * 27), 9, 9);
                        })));
    epiBitmap target;
    fillWith(target, 6, 5, below);
    const epiColor ink = colour(255, 128, 0);
    const epiRect maskRect(1, 0, 3, 2);
    const epiRect targetRect(2, 1, 4, 3);
    epiRect combined;
    target.tintFromMask(mask, &maskRect, &targetRect, &combined, ink);
    EXPECT_TRUE(combined.equalsEdges(1, 0, 4, 3));
    const std::uint32_t opaqueBelow = epiPixel::toStraight(epiPixel::toPremultiplied(below));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = targetRect.containsXY(x, y) && x < 4 && y < 3;
            const std::uint32_t red = inside ? (x - 2 + 1) * 100 + (y - 1) * 27 : 0;
            const std::uint32_t want = inside ? tinted(opaqueBelow, red, ink) : below;
            EXPECT_TRUE(near(target.getPixel(x, y), want, inside ? 1 : 2))
                << x << "," << y << std::hex << " " << target.getPixel(x, y) << " want " << want;
        }

    // setAlpha keeps the colours; clearBlack is opaque black everywhere.
    epiBitmap faded;
    fillWith(faded, 3, 3, argb(255, 200, 100, 50));
    const epiRect corner(0, 0, 2, 2);
    faded.setAlpha(0.5f, &corner);
    EXPECT_TRUE(near(faded.getPixel(1, 1), argb(128, 200, 100, 50), 1));
    EXPECT_EQ(faded.getPixel(2, 2), argb(255, 200, 100, 50));
    faded.setAlpha(7.0f, nullptr);
    EXPECT_TRUE(near(faded.getPixel(0, 0), argb(255, 200, 100, 50), 1));
    faded.clearBlack();
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(faded.getPixel(i % 3, i / 3), 0xFF000000u);
}

TEST(Bitmap, MaskRedBecomesAlphaAndColoursStay)
{
    const std::string image =
        makePng(4, 2, [](int x, int y) { return argb(x == 3 ? 100 : 255, 10 + x, 20 + y, 30); });
    struct Case {
        const char* name;
        int maskWidth;
        int maskHeight;
    };
    for (const Case& c :
         {Case{"same size", 4, 2}, Case{"smaller mask", 2, 1}, Case{"larger mask", 9, 7}}) {
        const std::string mask = makePng(c.maskWidth, c.maskHeight, [](int x, int) {
            return argb(255, x % 2 == 0 ? 0 : 255, 77, 77);
        });
        epiBitmap bitmap;
        ASSERT_TRUE(loadPng(bitmap, image, &mask)) << c.name;
        EXPECT_TRUE(bitmap.getSize().equals({4, 2})) << c.name;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool masked = x < c.maskWidth && y < c.maskHeight;
                std::uint32_t want = argb(x == 3 ? 100 : 255, 10 + x, 20 + y, 30);
                if (masked)
                    want = x % 2 == 0 ? 0 : argb(255, 10 + x, 20 + y, 30);
                EXPECT_TRUE(near(bitmap.getPixel(x, y), want, 1))
                    << c.name << " " << x << "," << y << std::hex << " " << bitmap.getPixel(x, y);
            }
    }
    // A mask that does not decode leaves the image as decoded; an image that
    // does not decode fails.
    epiBitmap bitmap;
    const std::string garbage = "not a png";
    EXPECT_TRUE(loadPng(bitmap, image, &garbage));
    EXPECT_EQ(bitmap.getPixel(0, 0), argb(255, 10, 20, 30));
    EXPECT_FALSE(loadPng(bitmap, garbage));
    EXPECT_FALSE(loadPng(bitmap, image.substr(0, image.size() / 2)));
}

TEST(Bitmap, PenWidthsAndClips)
{
    const epiColor ink = colour(0, 0, 255);
    // Width -2: exactly the two rows of a hard line, no partial alpha.
    epiBitmap hard;
    ASSERT_TRUE(hard.create(12, 10));
    hard.drawLine(1, 5, 9, 5, ink, -2);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool on = (y == 4 || y == 5) && x >= 1 && x < 9;
            EXPECT_EQ(hard.getPixel(x, y), on ? argb(255, 0, 0, 255) : 0u) << x << "," << y;
        }
    // A slanted line: hard at -2, smoothed edges at 2.
    epiBitmap slantHard;
    epiBitmap slantSmooth;
    ASSERT_TRUE(slantHard.create(20, 20));
    ASSERT_TRUE(slantSmooth.create(20, 20));
    slantHard.drawLine(2, 3, 17, 12, ink, -2);
    slantSmooth.drawLine(2, 3, 17, 12, ink, 2);
    EXPECT_EQ(countAlpha(slantHard, true), 0);
    EXPECT_GT(countAlpha(slantHard, false), 15 * 2 - 4);
    EXPECT_GT(countAlpha(slantSmooth, true), 10);

    // Odd widths run through the pixels' middles: width 1 and 3 fill whole rows.
    epiBitmap odd;
    ASSERT_TRUE(odd.create(10, 10));
    odd.drawLine(0, 5, 10, 5, ink, 3);
    EXPECT_EQ(countAlpha(odd, true), 0);
    EXPECT_EQ(countAlpha(odd, false), 30);

    // A clip applies only when it does not contain the drawing: both ends
    // inside leaves the pen's spill beyond the clip.
    const epiRect clip(0, 5, 10, 6);
    epiBitmap inside;
    ASSERT_TRUE(inside.create(10, 10));
    inside.drawLineClipped(0, 5, 9, 5, clip, ink, 3);
    EXPECT_EQ(inside.getPixel(3, 4) >> 24, 255u);
    epiBitmap across;
    ASSERT_TRUE(across.create(10, 10));
    across.drawLineClipped(0, 5, 12, 5, clip, ink, 3);
    EXPECT_EQ(across.getPixel(3, 4), 0u);
    EXPECT_EQ(across.getPixel(3, 5) >> 24, 255u);

    const epiRect fillClip(2, 2, 5, 5);
    epiBitmap filled;
    ASSERT_TRUE(filled.create(8, 8));
    const epiRect whole(0, 0, 8, 8);
    filled.fillRectClipped(ink, &whole, fillClip);
    EXPECT_EQ(countAlpha(filled, false), 9);
    EXPECT_EQ(filled.getPixel(2, 2), argb(255, 0, 0, 255));

    // A frame of width 1 is the rectangle's border pixels.
    epiBitmap framed;
    ASSERT_TRUE(framed.create(8, 8));
    const epiRect box(1, 1, 6, 5);
    framed.frameRect(ink, &box, 1);
    EXPECT_EQ(countAlpha(framed, true), 0);
    EXPECT_EQ(countAlpha(framed, false), 2 * 5 + 2 * 2);
    EXPECT_NE(framed.getPixel(1, 1), 0u);
    EXPECT_NE(framed.getPixel(5, 4), 0u);
    EXPECT_EQ(framed.getPixel(3, 3), 0u);
}

TEST(Bitmap, DrawCommands)
{
    epiDrawCommand fresh;
    EXPECT_EQ(fresh.command, 0u);
    EXPECT_EQ(fresh.penWidth, 1);
    EXPECT_EQ(fresh.angle, 0.0f);
    EXPECT_EQ(fresh.measuredWidth, 360.0f);
    EXPECT_EQ(fresh.fontSize, 10.0f);
    EXPECT_EQ(fresh.target, nullptr);

    // 'bitm' at 90 degrees: the source's top-left corner lands top-right.
    epiBitmap corners;
    ASSERT_TRUE(loadPng(corners, makePng(8, 8, [](int x, int y) {
                            if (x < 4 && y < 4)
                                return argb(255, 255, 0, 0);
                            if (x >= 4 && y < 4)
                                return argb(255, 0, 255, 0);
                            if (x >= 4)
                                return argb(255, 0, 0, 255);
                            return argb(255, 255, 255, 0);
                        })));
    epiBitmap target;
    ASSERT_TRUE(target.create(20, 20));
    const epiRect to(2, 2, 18, 18);
    epiDrawCommand rotate;
    rotate.command = epiCode("bitm");
    rotate.image = &corners;
    rotate.target = &to;
    rotate.angle = 90.0f;
    target.drawCommand(rotate);
    EXPECT_EQ(target.getPixel(15, 4), argb(255, 255, 0, 0));  // top-left -> top-right
    EXPECT_EQ(target.getPixel(15, 15), argb(255, 0, 255, 0)); // top-right -> bottom-right
    EXPECT_EQ(target.getPixel(4, 15), argb(255, 0, 0, 255));  // bottom-right -> bottom-left
    EXPECT_EQ(target.getPixel(4, 4), argb(255, 255, 255, 0)); // bottom-left -> top-left
    EXPECT_EQ(target.getPixel(1, 1), 0u);

    // 'ovaF' fills inside its rectangle only.
    epiBitmap oval;
    ASSERT_TRUE(oval.create(20, 16));
    const epiRect ovalBox(3, 2, 15, 12);
    epiDrawCommand fill;
    fill.command = epiCode("ovaF");
    fill.target = &ovalBox;
    fill.colour = colour(0, 200, 0);
    oval.drawCommand(fill);
    int insideCount = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 20; ++x) {
            if (!ovalBox.containsXY(x, y) || x == ovalBox.right || y == ovalBox.bottom)
                EXPECT_EQ(oval.getPixel(x, y), 0u) << x << "," << y;
            else
                insideCount += oval.getPixel(x, y) != 0;
        }
    EXPECT_GT(insideCount, 80);
    EXPECT_EQ(oval.getPixel(9, 7), argb(255, 0, 200, 0));

    // 'ntxL' stores the measured width and draws nothing; an unknown command
    // draws nothing.
    epiDrawCommand measure;
    measure.command = epiCode("ntxL");
    measure.text.assign("Bass level");
    measure.family.assign("Arial");
    measure.fontSize = 12;
    epiBitmap untouched;
    ASSERT_TRUE(untouched.create(50, 20));
    untouched.drawCommand(measure);
    EXPECT_GT(measure.measuredWidth, 30.0f);
    EXPECT_LT(measure.measuredWidth, 120.0f);
    epiDrawCommand unknown;
    unknown.command = epiCode("zzzz");
    unknown.colour = colour(1, 1, 1);
    untouched.drawCommand(unknown);
    EXPECT_EQ(countAlpha(untouched, false) + countAlpha(untouched, true), 0);
}

TEST(Bitmap, TextStaysInItsRectangleAndIsNotCut)
{
    epiBitmap bitmap;
    ASSERT_TRUE(bitmap.create(100, 40));
    const epiRect rect(10, 5, 60, 30);
    bitmap.drawTextInRect("Hello bass", 10.0f, "Tahoma", rect, colour(255, 255, 255), 0x1);
    int drawn = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool in = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            if (!in)
                EXPECT_EQ(bitmap.getPixel(x, y), 0u) << x << "," << y;
            else
                drawn += bitmap.getPixel(x, y) != 0;
        }
    EXPECT_GT(drawn, 20);

    // Long UTF-8 texts keep every character.
    epiDrawCommand one;
    one.command = epiCode("ntxL");
    one.text.assign("\xc3\xa9");
    epiDrawCommand many = one;
    many.text.assignRepeated('x', 0);
    for (int i = 0; i < 3000; ++i)
        many.text.append("\xc3\xa9");
    bitmap.drawCommand(one);
    bitmap.drawCommand(many);
    EXPECT_GT(one.measuredWidth, 1.0f);
    EXPECT_NEAR(many.measuredWidth, 3000.0f * one.measuredWidth, 0.5f);
}

TEST(Bitmap, PixelLoopsStayInsideBothBitmaps)
{
    // Rectangles partly or wholly outside either bitmap: only the pixels
    // inside both change (the sanitizer run checks the rest).
    epiBitmap mask;
    ASSERT_TRUE(loadPng(mask, makePng(4, 4, [](int, int) { return argb(255, 255, 255, 255); })));
    epiBitmap target;
    ASSERT_TRUE(target.create(6, 6));
    const epiColor ink = colour(9, 8, 7);
    const epiRect maskRects[] = {{-3, -3, 10, 10}, {2, 2, 40, 40}, {-20, 0, -10, 4}};
    const epiRect targetRects[] = {{4, 4, 17, 17}, {-1, -1, 37, 37}, {0, 0, 10, 4}};
    bool reached[6][6] = {};
    for (const epiRect& m : maskRects)
        for (const epiRect& t : targetRects) {
            target.tintFromMask(mask, &m, &t, nullptr, ink);
            for (int y = 0; y < m.getHeight(); ++y)
                for (int x = 0; x < m.getWidth(); ++x) {
                    const int mx = m.left + x, my = m.top + y, tx = t.left + x, ty = t.top + y;
                    if (mx >= 0 && my >= 0 && mx < 4 && my < 4 && tx >= 0 && ty >= 0 && tx < 6 &&
                        ty < 6)
                        reached[ty][tx] = true;
                }
        }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(target.getPixel(x, y), reached[y][x] ? argb(255, 9, 8, 7) : 0u)
                << x << "," << y;

    epiBitmap source;
    ASSERT_TRUE(loadPng(source, makePng(4, 4, [](int x, int y) {
                            return argb(255, static_cast<std::uint32_t>(x),
                                        static_cast<std::uint32_t>(y), 1);
                        })));
    source.setBlend(false);
    epiBitmap copy;
    ASSERT_TRUE(copy.create(5, 5));
    const epiRect from(-2, 1, 6, 9);
    const epiRect to(3, -1, 11, 7);
    copy.blitFrom(source, &from, &to);
    // Source (x, y) lands on (x + 5, y - 2): only source column 0 (x = 5) is
    // outside; nothing lands in the bitmap but columns 3 and 4 from the
    // source's negative columns, which do not exist.
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(copy.getPixel(x, y), 0u) << x << "," << y;
    const epiRect shifted(-1, 1, 3, 5);
    copy.blitFrom(source, nullptr, &shifted);
    EXPECT_EQ(copy.getPixel(0, 1), argb(255, 1, 0, 1));
    EXPECT_EQ(copy.getPixel(2, 4), argb(255, 3, 3, 1));
    // A bitmap copied onto itself.
    copy.blitFrom(copy, nullptr, nullptr);
    EXPECT_EQ(copy.getPixel(2, 4), argb(255, 3, 3, 1));
}

namespace {
struct BackBufferWindow : epiObject, epiBitmapShowTarget {
    epiBitmap* getBackBuffer() override { return &back; }
    epiBitmap back;
};
} // namespace

TEST(BitmapDib, OneBufferForDrawingAndShowing)
{
    epiBitmapDib dib;
    ASSERT_TRUE(dib.create(6, 4));
    ASSERT_NE(dib.getBuffer(), nullptr);
    EXPECT_EQ(dib.getStride(), 24);
    const epiRect part(1, 1, 3, 2);
    dib.fillRect(colour(10, 20, 30, 128), &part);
    // The buffer holds what was drawn (premultiplied, top row first).
    EXPECT_EQ(dib.getBuffer()[1 * 6 + 1] >> 24, 128u);
    EXPECT_EQ(dib.getBuffer()[0], 0u);
    dib.getBuffer()[3 * 6 + 5] = 0xFF102030u;
    dib.unlockPixels();
    EXPECT_EQ(dib.getPixel(5, 3), 0xFF102030u);

    // Showing copies into the window's back buffer, without blending and
    // without turning the rows over.
    BackBufferWindow window;
    ASSERT_TRUE(window.back.create(6, 4));
    window.back.fillRect(colour(255, 255, 255), nullptr);
    const epiRect all(0, 0, 6, 4);
    dib.showOnWindowAlt(&window, all, all);
    EXPECT_EQ(window.back.getPixel(5, 3), 0xFF102030u);
    EXPECT_EQ(window.back.getPixel(0, 0), 0u);
    EXPECT_TRUE(near(window.back.getPixel(1, 1), argb(128, 10, 20, 30), 2));

    // A plain bitmap blends onto the back buffer, and its alternative entry
    // shows nothing.
    epiBitmap plain;
    ASSERT_TRUE(plain.create(6, 4));
    plain.fillRect(colour(0, 0, 255), &part);
    window.back.fillRect(colour(255, 255, 255), nullptr);
    plain.showOnWindowAlt(&window, all, all);
    EXPECT_EQ(window.back.getPixel(1, 1), 0xFFFFFFFFu);
    plain.showOnWindow(&window, all, all);
    EXPECT_EQ(window.back.getPixel(1, 1), 0xFF0000FFu);
    EXPECT_EQ(window.back.getPixel(0, 0), 0xFFFFFFFFu);

    // Loading keeps the buffer; releasing frees it.
    ASSERT_TRUE(dib.create(2, 2));
    epiFileDump png;
    const std::string bytes = makePng(3, 2, [](int, int) { return argb(255, 1, 2, 3); });
    png.copyFrom(bytes.data(), bytes.size());
    ASSERT_TRUE(dib.loadFromDumps(png, nullptr));
    EXPECT_TRUE(dib.getSize().equals({3, 2}));
    EXPECT_EQ(dib.getBuffer()[5], 0xFF010203u);
    dib.releaseSurface();
    EXPECT_EQ(dib.getBuffer(), nullptr);
}

TEST(BitmapFactory, TheApplicationMakesBothKinds)
{
    epiWindowApplication application;
    std::unique_ptr<epiObject> plain(
        application.createObject(epiCode("GrUi"), epiCode("iBmp"), nullptr));
    std::unique_ptr<epiObject> dib(
        application.createObject(epiCode("GrUi"), epiCode("iBmD"), nullptr));
    EXPECT_NE(dynamic_cast<epiBitmap*>(plain.get()), nullptr);
    EXPECT_EQ(dynamic_cast<epiBitmapDib*>(plain.get()), nullptr);
    EXPECT_NE(dynamic_cast<epiBitmapDib*>(dib.get()), nullptr);
}
