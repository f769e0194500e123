#pragma once

#include <cmath>
#include <cstdint>

namespace AudioEngine {

// The sample `back` samples behind the write position w of a ring of `size`
// floats (0 <= back <= size - 1), linearly interpolated: with x = -back,
// j = w + trunc(x) and f = x - trunc(x) in (-1, 0], ring[j] and ring[j - 1]
// are weighted f + 1 and -f.
inline float readBehind(const float* ring, std::int32_t size, std::int32_t w, float back) noexcept
{
    const float x = -back;
    const float whole = std::trunc(x);
    const float f = x - whole;
    std::int32_t j = w + static_cast<std::int32_t>(whole);
    if (j < 0)
        j += size;
    std::int32_t previous = j - 1;
    if (previous < 0)
        previous += size;
    return (f + 1.0f) * ring[j] - f * ring[previous];
}

} // namespace AudioEngine
