#pragma once

#include <cmath>

namespace Zq::Application::Widgets {

// Which of `count` steps a value shows: trunc(offset * (count - 1) / span),
// kept to 0 .. count - 1. A span of 0 or less, or a ratio that is not finite
// (a zero span makes 0 / 0), shows step 0 rather than turning a NaN into an
// index.
inline int stepIndex(double offset, double span, int count)
{
    if (count <= 1 || !(span > 0.0))
        return 0;
    const double index = std::trunc(offset * (count - 1) / span);
    if (!std::isfinite(index) || index < 0.0)
        return 0;
    return index > count - 1 ? count - 1 : static_cast<int>(index);
}

// A pixel position computed in floating point, truncated toward zero and
// kept far inside int's range; a value that is not finite gives 0.
inline int pixelPosition(double position)
{
    if (!std::isfinite(position))
        return 0;
    constexpr double limit = 1 << 24;
    if (position > limit)
        return static_cast<int>(limit);
    if (position < -limit)
        return static_cast<int>(-limit);
    return static_cast<int>(position);
}

} // namespace Zq::Application::Widgets
