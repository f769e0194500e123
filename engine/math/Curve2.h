#pragma once

#include "engine/math/Point2.h"

#include <cstdint>
#include <vector>

namespace AudioEngine::AudioMath {

template <class T> struct Curve2Traits {
    using Value = T;
    using Point = Point2<T, T>;
};

// A transfer curve as knots (x_i, y_i) in increasing x. Each named curve of a
// model derives from it and fills itself in its constructor, as a rule from a
// table of samples taken at evenly spaced inputs.
template <class Traits> class Curve2 : public std::vector<typename Traits::Point> {
public:
    using Value = typename Traits::Value;
    using Point = typename Traits::Point;

    Curve2() = default;
    // The knots of a table of count samples spread evenly over [x0, x1].
    Curve2(const Value* table, std::int32_t count, float x0, float x1)
    {
        setFromTable(table, count, x0, x1);
    }
    Curve2(const Curve2&) = default;
    Curve2(Curve2&&) noexcept = default;
    Curve2& operator=(const Curve2&) = default;
    Curve2& operator=(Curve2&&) noexcept = default;
    virtual ~Curve2() = default;

    // x_i = i (x1 - x0) / (count - 1) + x0, y_i = table[i]. The last knot lands on
    // x1 up to rounding; the bounds are widened to Value before any arithmetic, so
    // a double curve over float bounds has the bounds' exact values at its ends.
    void setFromTable(const Value* table, std::int32_t count, float x0, float x1)
    {
        const std::uint32_t n = count > 0 ? static_cast<std::uint32_t>(count) : 0u;
        this->resize(n);
        const Value first = static_cast<Value>(x0);
        const Value span = static_cast<Value>(x1) - first;
        const Value steps = static_cast<Value>(n > 1 ? n - 1 : 1);
        for (std::uint32_t i = 0; i < n; ++i) {
            Point& p = (*this)[i];
            p.x = static_cast<Value>(i) * span / steps + first;
            p.y = table[i];
        }
    }
};

} // namespace AudioEngine::AudioMath
