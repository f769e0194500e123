#include "plugin/docview/Range.h"

#include <cmath>

namespace Zq::Application::DocView {

float RangeFloat::constrain(float v) const
{
    if (min_ > v)
        return min_;
    if (v > max_)
        return max_;
    return v;
}

float RangeInt::constrain(float v) const
{
    if (std::isnan(v))
        return static_cast<float>(min_);
    // Truncating in double keeps every int32 exact and compares infinities and
    // huge values against the limits before any conversion to int.
    const double i = std::trunc(static_cast<double>(v));
    if (i < min_)
        return static_cast<float>(min_);
    if (i < max_)
        return static_cast<float>(i);
    return static_cast<float>(max_);
}

} // namespace Zq::Application::DocView
