#pragma once

namespace AudioEngine::BorvanQom {

// x limited to [-level, level]: the value of the rail-to-rail op-amp form
// (|x + L| - |x - L|) / 2, computed as a comparison. In single precision the
// sum form rounds the two terms separately, so above about 3e7 it drifts off L
// and above 2^28 it collapses to 0, and at +-inf it gives NaN; the comparison
// gives the exact clamp for every input, the rails for the infinities, and 0
// for a NaN.
inline float hardClip(float x, float level) noexcept
{
    if (x > level)
        return level;
    if (x < -level)
        return -level;
    return x == x ? x : 0.0f;
}

} // namespace AudioEngine::BorvanQom
