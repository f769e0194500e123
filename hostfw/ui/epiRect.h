#pragma once

#include "hostfw/core/epiObject.h"

// Integer geometry values of the user interface: used by value, never counted.
// Right and bottom are exclusive for drawing and inclusive for point tests.
class epiPoint : public epiObject {
public:
    epiPoint() = default;
    epiPoint(int x, int y) : x(x), y(y) {}

    epiPoint& set(int newX, int newY)
    {
        x = newX;
        y = newY;
        return *this;
    }
    epiPoint& copy(const epiPoint& other) { return set(other.x, other.y); }
    epiPoint& add(const epiPoint& other) { return offset(other.x, other.y); }
    epiPoint& subtract(const epiPoint& other) { return unoffset(other.x, other.y); }
    epiPoint& offset(int dx, int dy)
    {
        x += dx;
        y += dy;
        return *this;
    }
    epiPoint& unoffset(int dx, int dy) { return offset(-dx, -dy); }
    bool equals(const epiPoint& other) const { return x == other.x && y == other.y; }

    int x = 0;
    int y = 0;
};

// The anchor codes name a point of a rectangle: 0 top-left, 1 top-right,
// 2 bottom-right, 3 bottom-left, 4 top centre, 5 right middle, 6 bottom
// centre, 7 left middle, 8 centre; any other code is the top-left.
class epiRect : public epiObject {
public:
    epiRect() = default;
    epiRect(int left, int top, int right, int bottom)
        : left(left), top(top), right(right), bottom(bottom)
    {
    }

    epiRect& set(int l, int t, int r, int b);
    epiRect& copy(const epiRect& other)
    {
        return set(other.left, other.top, other.right, other.bottom);
    }
    epiRect& setOriginSize(int width, int height) { return set(0, 0, width, height); }
    epiRect& setOriginSizePoint(const epiPoint& size) { return set(0, 0, size.x, size.y); }
    epiRect& setOriginSizeOf(const epiRect& other)
    {
        return set(0, 0, other.getWidth(), other.getHeight());
    }
    epiRect& toOrigin() { return moveTo(0, 0); }
    epiRect& clear() { return set(0, 0, 0, 0); }

    epiRect& moveTo(int x, int y);
    epiRect& moveToPoint(const epiPoint& point) { return moveTo(point.x, point.y); }
    epiRect& setSize(int width, int height);
    epiRect& setSizePoint(const epiPoint& size) { return setSize(size.x, size.y); }
    epiRect& offset(int dx, int dy);
    epiRect& offsetByPoint(const epiPoint& delta) { return offset(delta.x, delta.y); }
    epiRect& insetAll(int d) { return insetEach(d, d, d, d); }
    epiRect& inset(int dx, int dy) { return insetEach(dx, dy, dx, dy); }
    epiRect& insetEach(int l, int t, int r, int b);
    // Moves the rectangle, keeping its size, so that its point at the code
    // lies on the other's point at the same code.
    epiRect& alignTo(const epiRect& other, int code);

    int getWidth() const { return right - left; }
    int getHeight() const { return bottom - top; }
    double widthF() const { return getWidth(); }
    double heightF() const { return getHeight(); }
    double aspect() const { return widthF() / heightF(); }
    int centreX() const { return left + getWidth() / 2; }
    int centreY() const { return top + getHeight() / 2; }
    epiPoint size() const { return {getWidth(), getHeight()}; }
    epiPoint topLeft() const { return {left, top}; }
    epiPoint pointAt(int code) const;
    epiPoint offsetAt(int code) const;

    bool equalsEdges(int l, int t, int r, int b) const
    {
        return left == l && top == t && right == r && bottom == b;
    }
    bool isEmpty() const { return left == right && top == bottom; }
    bool isValid() const { return right >= left && bottom >= top; }
    bool containsPoint(const epiPoint& point) const;
    // The coordinates are taken as signed 16-bit values, as packed pointer
    // positions carry them.
    bool containsXY(int x, int y) const;
    bool contains(const epiRect& other) const;
    // Touching edges do not intersect.
    bool intersects(const epiRect& other) const;

    epiRect& intersect(const epiRect& other);
    epiRect& unite(const epiRect& other);
    // Called on a clip rectangle: trims the destination to the clip and the
    // source by the same amounts, so that a copy from source to destination
    // keeps its pixels in place.
    void clipPair(epiRect& source, epiRect& destination) const;
    void clipPair(const epiRect& source, const epiRect& destination, epiRect& sourceOut,
                  epiRect& destinationOut) const;

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
