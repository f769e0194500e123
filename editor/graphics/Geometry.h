#pragma once

namespace Zq::Application::Graphics {

// Editor pixels, origin at the top-left of the editor window's client area.
template <typename T> struct BasicPoint {
    T x{};
    T y{};
};

template <typename T> struct BasicRect {
    T x{};
    T y{};
    T width{};
    T height{};

    bool empty() const { return width <= 0 || height <= 0; }
};

// The overlap of two rectangles; width and height 0 when they do not meet.
inline BasicRect<int> intersect(const BasicRect<int>& a, const BasicRect<int>& b)
{
    const int left = a.x > b.x ? a.x : b.x;
    const int top = a.y > b.y ? a.y : b.y;
    const int right = (a.x + a.width < b.x + b.width) ? a.x + a.width : b.x + b.width;
    const int bottom = (a.y + a.height < b.y + b.height) ? a.y + a.height : b.y + b.height;
    if (right <= left || bottom <= top)
        return {left, top, 0, 0};
    return {left, top, right - left, bottom - top};
}

} // namespace Zq::Application::Graphics
