#pragma once

#include <cmath>
#include <cstddef>
#include <optional>

namespace Zq::Application::DocView {

// The entry of a table of count entries that an enumerated value stands for:
// the value truncated toward zero, or none when that names no entry. The
// truncation runs in double, so no value (NaN, infinity, 1e30) reaches a
// float-to-int conversion it would overflow; each caller says what "none" means.
inline std::optional<int> enumIndex(float value, std::size_t count) noexcept
{
    const double i = std::trunc(static_cast<double>(value));
    if (i >= 0.0 && i < static_cast<double>(count))
        return static_cast<int>(i);
    return std::nullopt;
}

} // namespace Zq::Application::DocView
