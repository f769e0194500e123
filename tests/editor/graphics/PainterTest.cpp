#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "editor/graphics/Painter.h"

using namespace Zq::Application::Graphics;

namespace {

Bitmap image(int w, int h, std::uint32_t fill, bool hasAlpha)
{
    Bitmap b;
    b.allocate(w, h);
    std::fill(b.pixels.get(), b.pixels.get() + w * h, fill);
    b.hasAlpha = hasAlpha;
    return b;
}

struct Target {
    explicit Target(int w, int h, std::uint32_t fill = 0) : w(w), h(h), pixels(w * h, fill) {}
    Painter painter() { return Painter({w, h}, w * 4, pixels.data()); }
    int w, h;
    std::vector<std::uint32_t> pixels;
};

} // namespace

TEST(PainterBlend, EveryOperationAsOneTable)
{
    struct Case {
        const char* name;
        std::uint32_t destination;
        std::function<void(Painter&)> draw;
        std::uint32_t expected;
    };
    const Bitmap halfRed = image(1, 1, 0x80FF0000, true);
    const Bitmap copied = image(1, 1, 0x12345678, false);
    const Bitmap mask = image(1, 1, 0x80FFFFFF, true);
    const Bitmap modulated = image(1, 1, 0x80FF8040, true);
    const Case cases[] = {
        {"255 over 0 at weight 255 gives 254", 0x00000000,
         [](Painter& p) {
             p.fillRect(0xFFFFFFFF, {0, 0, 1, 1});
         },
         0x00FEFEFE},
        {"weight 0 leaves the channels, alpha becomes 0", 0xFF123456,
         [](Painter& p) {
             p.fillRect(0x00FFFFFF, {0, 0, 1, 1});
         },
         0x00123456},
        {"a horizontal line blends like a fill", 0xFF000000,
         [](Painter& p) {
             p.drawHorizontalLine(0xFF00FF00, {0, 0}, 1);
         },
         0x0000FE00},
        {"a vertical line blends like a fill", 0xFF0000FF,
         [](Painter& p) {
             p.drawVerticalLine(0x80FF0000, {0, 0}, 1);
         },
         0x007F007F},
        {"an image with alpha blends by its own alpha", 0xFF0000FF,
         [&](Painter& p) {
             p.drawBitmap(halfRed, {0, 0}, {0, 0, 1, 1});
         },
         0x007F007F},
        {"a copy without has-alpha keeps the source alpha", 0xFFFFFFFF,
         [&](Painter& p) {
             p.drawBitmap(copied, {0, 0}, {0, 0, 1, 1});
         },
         0x12345678},
        {"mode 0 tints with the image alpha, not the colour's", 0x00000000,
         [&](Painter& p) {
             p.drawBitmapColored(mask, 0, 0x00FF0000, {0, 0}, {0, 0, 1, 1});
         },
         0x007F0000},
        // s = (i * c) >> 8 = 127, 64, 32; a = (0x80 * 0x80) >> 8 = 64.
        {"mode 1 modulates channels and weight", 0x00000000,
         [&](Painter& p) {
             p.drawBitmapColored(modulated, 1, 0x80808080, {0, 0}, {0, 0, 1, 1});
         },
         0x001F1008},
        {"mode 2 draws nothing", 0xFF123456,
         [&](Painter& p) {
             p.drawBitmapColored(mask, 2, 0xFFFFFFFF, {0, 0}, {0, 0, 1, 1});
         },
         0xFF123456},
        {"a zero-length line draws nothing", 0xFF123456,
         [](Painter& p) {
             p.drawHorizontalLine(0xFFFFFFFF, {0, 0}, 0);
         },
         0xFF123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Target t(1, 1, c.destination);
        Painter p = t.painter();
        c.draw(p);
        EXPECT_EQ(t.pixels[0], c.expected);
    }
}

namespace {

struct Rect {
    int x, y, w, h;
    bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

Rect overlap(Rect a, Rect b)
{
    const int l = std::max(a.x, b.x), t = std::max(a.y, b.y);
    const int r = std::min(a.x + a.w, b.x + b.w), btm = std::min(a.y + a.h, b.y + b.h);
    return {l, t, std::max(0, r - l), std::max(0, btm - t)};
}

} // namespace

// Seeded random clips, areas, origins and rectangles, each drawing compared
// with a per-pixel reference: a source pixel (sx, sy) inside the image lands
// at origin + point + (sx, sy) - source origin when that lies in the
// effective clip (clip within the image, narrowed by the area moved by the
// origin); lines and fills cover exactly their pixels inside that clip.
TEST(PainterClip, BlitsLinesAndFillsMatchAPerPixelReference)
{
    std::mt19937 random(20240611);
    auto between = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    constexpr int W = 40, H = 30, BW = 12, BH = 9;
    Bitmap source = image(BW, BH, 0, false);
    for (int i = 0; i < BW * BH; ++i)
        source.pixels[i] = 0xAB000000u | static_cast<std::uint32_t>(i + 1);

    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(round);
        Target t(W, H, 0);
        Painter p = t.painter();
        const Rect clipAsked{between(-10, W), between(-10, H), between(0, W + 10),
                             between(0, H + 10)};
        const Rect areaAsked{between(-10, W), between(-10, H), between(0, W), between(0, H)};
        const BasicPoint<int> origin{between(-10, 20), between(-10, 20)};
        p.setClip({clipAsked.x, clipAsked.y, clipAsked.w, clipAsked.h});
        p.setOrigin(origin);
        p.setArea({areaAsked.x, areaAsked.y, areaAsked.w, areaAsked.h});
        const Rect clip = overlap(clipAsked, {0, 0, W, H});
        const Rect effective = overlap(
            {areaAsked.x + origin.x, areaAsked.y + origin.y, areaAsked.w, areaAsked.h}, clip);

        std::vector<std::uint32_t> expected(W * H, 0);
        const int op = round % 4;
        const int px = between(-15, W), py = between(-15, H);
        if (op == 0) {
            const Rect s{between(-6, BW), between(-6, BH), between(0, BW + 6), between(0, BH + 6)};
            p.drawBitmap(source, {px, py}, {s.x, s.y, s.w, s.h});
            for (int sy = std::max(s.y, 0); sy < std::min(s.y + s.h, BH); ++sy)
                for (int sx = std::max(s.x, 0); sx < std::min(s.x + s.w, BW); ++sx) {
                    const int dx = origin.x + px + sx - s.x, dy = origin.y + py + sy - s.y;
                    if (effective.contains(dx, dy))
                        expected[dy * W + dx] = source.pixels[sy * BW + sx];
                }
        } else {
            const int length = between(-2, W);
            const int height = between(-2, H);
            const Rect covered = op == 1   ? Rect{origin.x + px, origin.y + py, length, 1}
                                 : op == 2 ? Rect{origin.x + px, origin.y + py, 1, length}
                                           : Rect{origin.x + px, origin.y + py, length, height};
            if (op == 1)
                p.drawHorizontalLine(0xFFFFFFFF, {px, py}, length);
            else if (op == 2)
                p.drawVerticalLine(0xFFFFFFFF, {px, py}, length);
            else
                p.fillRect(0xFFFFFFFF, {px, py, length, height});
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x)
                    if (covered.contains(x, y) && effective.contains(x, y))
                        expected[y * W + x] = 0x00FEFEFE;
        }
        ASSERT_EQ(t.pixels, expected) << "operation " << op;
    }
}

TEST(PainterClip, AreaIsRelativeToTheOriginAndRestores)
{
    Target t(20, 20, 0);
    Painter p = t.painter();
    p.setOrigin({5, 5});
    const BasicRect<int> saved = p.getArea();
    p.setArea({2, 2, 3, 3}); // image pixels 7..9
    p.fillRect(0xFFFFFFFF, {0, 0, 20, 20});
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(t.pixels[y * 20 + x],
                      (x >= 7 && x < 10 && y >= 7 && y < 10) ? 0x00FEFEFEu : 0u);
    p.setArea(saved);
    EXPECT_EQ(p.getArea().width, 20);
    // The restored area is moved by the origin like any other.
    EXPECT_EQ(p.getEffectiveClip().x, 5);
    EXPECT_EQ(p.getEffectiveClip().width, 15);
}

TEST(PainterClip, BlitWithinOneImageDownwardsKeepsTheRowsItStillReads)
{
    constexpr int W = 4, H = 8;
    Bitmap b = image(W, H, 0, false);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            b.pixels[y * W + x] = static_cast<std::uint32_t>(y * 16 + x);
    std::vector<std::uint32_t> before(b.pixels.get(), b.pixels.get() + W * H);
    Painter p({W, H}, W * 4, b.pixels.get());
    // Rows 0..4 move down by 3, overlapping themselves.
    p.drawBitmap(b, {0, 3}, {0, 0, W, 5});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::uint32_t want = y < 3 ? before[y * W + x] : before[(y - 3) * W + x];
            EXPECT_EQ(b.pixels[y * W + x], want) << x << "," << y;
        }
}

// The image blit runs in wide steps where it can: every width, with its tail,
// must still give each pixel exactly what the rule gives.
TEST(PainterBlend, ImageRowsOfEveryWidthFollowTheRuleExactly)
{
    std::mt19937 random(99);
    for (int width = 1; width <= 19; ++width) {
        Bitmap source = image(width, 3, 0, true);
        std::vector<std::uint32_t> target(width * 3);
        for (int i = 0; i < width * 3; ++i) {
            source.pixels[i] = random();
            target[i] = random();
        }
        std::vector<std::uint32_t> expected(target);
        for (int i = 0; i < width * 3; ++i) {
            const std::uint32_t s = source.pixels[i], d = expected[i], a = s >> 24;
            std::uint32_t out = 0;
            for (int shift : {0, 8, 16}) {
                const int dc = (d >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
                out |= static_cast<std::uint32_t>((dc * 256 + (sc - dc) * static_cast<int>(a)) >> 8)
                       << shift;
            }
            expected[i] = out;
        }
        Painter p({width, 3}, width * 4, target.data());
        p.drawBitmap(source, {0, 0}, {0, 0, width, 3});
        ASSERT_EQ(target, expected) << "width " << width;
    }
}
