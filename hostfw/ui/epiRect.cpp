#include "hostfw/ui/epiRect.h"

#include <algorithm>
#include <cstdint>

epiRect& epiRect::set(int l, int t, int r, int b)
{
    left = l;
    top = t;
    right = r;
    bottom = b;
    return *this;
}

epiRect& epiRect::moveTo(int x, int y)
{
    return offset(x - left, y - top);
}

epiRect& epiRect::setSize(int width, int height)
{
    right = left + width;
    bottom = top + height;
    return *this;
}

epiRect& epiRect::offset(int dx, int dy)
{
    return set(left + dx, top + dy, right + dx, bottom + dy);
}

epiRect& epiRect::insetEach(int l, int t, int r, int b)
{
    return set(left + l, top + t, right - r, bottom - b);
}

epiPoint epiRect::offsetAt(int code) const
{
    const int w = getWidth();
    const int h = getHeight();
    switch (code) {
    case 1:
        return {w, 0};
    case 2:
        return {w, h};
    case 3:
        return {0, h};
    case 4:
        return {w / 2, 0};
    case 5:
        return {w, h / 2};
    case 6:
        return {w / 2, h};
    case 7:
        return {0, h / 2};
    case 8:
        return {w / 2, h / 2};
    default:
        return {0, 0};
    }
}

epiPoint epiRect::pointAt(int code) const
{
    return topLeft().add(offsetAt(code));
}

epiRect& epiRect::alignTo(const epiRect& other, int code)
{
    const epiPoint target = other.pointAt(code);
    const epiPoint own = pointAt(code);
    return offset(target.x - own.x, target.y - own.y);
}

bool epiRect::containsPoint(const epiPoint& point) const
{
    return left <= point.x && point.x <= right && top <= point.y && point.y <= bottom;
}

bool epiRect::containsXY(int x, int y) const
{
    return containsPoint({static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)});
}

bool epiRect::contains(const epiRect& other) const
{
    return left <= other.left && other.right <= right && top <= other.top && other.bottom <= bottom;
}

bool epiRect::intersects(const epiRect& other) const
{
    return other.left < right && left < other.right && other.top < bottom && top < other.bottom;
}

epiRect& epiRect::intersect(const epiRect& other)
{
    return set(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
               std::min(bottom, other.bottom));
}

epiRect& epiRect::unite(const epiRect& other)
{
    if (isEmpty())
        return copy(other);
    return set(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
               std::max(bottom, other.bottom));
}

void epiRect::clipPair(epiRect& source, epiRect& destination) const
{
    if (destination.left < left) {
        source.left += left - destination.left;
        destination.left = left;
    }
    if (destination.top < top) {
        source.top += top - destination.top;
        destination.top = top;
    }
    if (destination.right > right) {
        source.right -= destination.right - right;
        destination.right = right;
    }
    if (destination.bottom > bottom) {
        source.bottom -= destination.bottom - bottom;
        destination.bottom = bottom;
    }
}

void epiRect::clipPair(const epiRect& source, const epiRect& destination, epiRect& sourceOut,
                       epiRect& destinationOut) const
{
    sourceOut.copy(source);
    destinationOut.copy(destination);
    clipPair(sourceOut, destinationOut);
}
