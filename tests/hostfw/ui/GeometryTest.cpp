#include "hostfw/app/epiColor.h"
#include "hostfw/ui/epiRect.h"

#include <gtest/gtest.h>

namespace {

::testing::AssertionResult hasEdges(const epiRect& rect, int l, int t, int r, int b)
{
    if (rect.equalsEdges(l, t, r, b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << rect.left << ", " << rect.top << ", "
                                         << rect.right << ", " << rect.bottom << ")";
}

TEST(Geometry, ContainsIncludesEdgesButTouchingRectanglesDoNotIntersect)
{
    const epiRect square(0, 0, 10, 10);
    const struct {
        epiRect other;
        bool contains;
        bool intersects;
    } cases[] = {
        {{10, 0, 20, 10}, false, false}, {{0, 10, 10, 20}, false, false},
        {{9, 9, 20, 20}, false, true},   {{0, 0, 10, 10}, true, true},
        {{2, 2, 3, 3}, true, true},      {{-1, 0, 5, 5}, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(square.contains(c.other), c.contains) << c.other.left << "," << c.other.top;
        EXPECT_EQ(square.intersects(c.other), c.intersects) << c.other.left << "," << c.other.top;
    }
    EXPECT_TRUE(square.containsPoint({10, 10}));
    EXPECT_FALSE(square.containsPoint({11, 10}));
    // Packed pointer positions are signed 16-bit: 65535 is -1.
    EXPECT_TRUE(epiRect(-5, -5, 5, 5).containsXY(65535, 0));
}

TEST(Geometry, CombiningAndAnchoring)
{
    epiRect empty(5, 5, 5, 5);
    EXPECT_TRUE(hasEdges(empty.unite({0, 0, 2, 2}), 0, 0, 2, 2));
    epiRect some(1, 1, 3, 3);
    EXPECT_TRUE(hasEdges(some.unite({4, 0, 6, 2}), 1, 0, 6, 3));
    epiRect apart(0, 0, 2, 2);
    apart.intersect({3, 3, 5, 5});
    EXPECT_FALSE(apart.isValid());

    const struct {
        epiRect rect;
        int code;
        epiPoint expected;
    } points[] = {
        {{0, 0, 5, 5}, 8, {2, 2}}, {{-5, -5, 0, 0}, 8, {-3, -3}}, {{0, 0, 5, 5}, 2, {5, 5}},
        {{0, 0, 6, 4}, 5, {6, 2}}, {{0, 0, 6, 4}, 6, {3, 4}},     {{1, 2, 6, 4}, 9, {1, 2}},
    };
    for (const auto& p : points) {
        const epiPoint at = p.rect.pointAt(p.code);
        EXPECT_TRUE(at.equals(p.expected)) << p.code << ": " << at.x << "," << at.y;
    }

    epiRect box;
    box.setOriginSize(20, 10);
    EXPECT_TRUE(hasEdges(box.alignTo({0, 0, 100, 100}, 8), 40, 45, 60, 55));
    EXPECT_TRUE(hasEdges(box.alignTo({0, 0, 100, 100}, 2), 80, 90, 100, 100));

    epiRect source(0, 0, 100, 100), destination(-10, 0, 90, 100);
    epiRect(0, 0, 50, 50).clipPair(source, destination);
    EXPECT_TRUE(hasEdges(destination, 0, 0, 50, 50));
    EXPECT_TRUE(hasEdges(source, 10, 0, 60, 50));
    epiRect sourceOut, destinationOut;
    epiRect(10, 10, 20, 20).clipPair({0, 0, 30, 30}, {5, 5, 35, 35}, sourceOut, destinationOut);
    EXPECT_TRUE(hasEdges(destinationOut, 10, 10, 20, 20));
    EXPECT_TRUE(hasEdges(sourceOut, 5, 5, 15, 15));
}

TEST(Geometry, ColoursUnpackFormatAndConvert)
{
    const epiColor colour(0x80FF2010u);
    EXPECT_EQ(colour.red, 255);
    EXPECT_EQ(colour.green, 32);
    EXPECT_EQ(colour.blue, 16);
    EXPECT_EQ(colour.alpha, 128);
    EXPECT_EQ(colour.getText().str(), "255,32,16");
    EXPECT_EQ(colour.platformValue(), 0x1020FFu);
    const epiColor black;
    EXPECT_EQ(black.getText().str(), "0,0,0");
    EXPECT_EQ(black.alpha, 255);
    epiColor grey;
    grey.setGrey(7);
    EXPECT_EQ(grey.platformValue(), 0x070707u);
}

} // namespace
