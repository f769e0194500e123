#include "engine/modules/LinearComb1.h"

#include "engine/core/Denormal.h"
#include "engine/modules/FourLane.h"

#include <cmath>
#include <limits>

namespace AudioEngine::LinearComb1Details {

namespace {
const float kPi = std::acos(-1.0f);
} // namespace

void Smoother::design(float blockRate) noexcept
{
    const float w = kPi * cutoff;
    a = w / (w + blockRate);
    b = 1.0 - 2.0 * a;
}

float Smoother::advance(float target, std::uint32_t n) noexcept
{
    const float from = current();
    double next = a * (static_cast<double>(target) + static_cast<double>(last)) + b * value;
    // The state decays geometrically toward a target of 0 and would end in
    // denormals; below the smallest normal float it settles on an exact 0.
    if (std::fabs(next) < static_cast<double>(std::numeric_limits<float>::min()))
        next = 0.0;
    value = next;
    last = target;
    return (current() - from) / static_cast<float>(n);
}

void ramp(const float* x, float* y, std::uint32_t n, float gEnd, float dg, float oEnd,
          float dOffset) noexcept
{
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto k = static_cast<float>(n - 1 - i);
        const float g = gEnd - k * dg;
        const float o = oEnd - k * dOffset;
        y[i] = flushedDenormal(flushedDenormal(x[i]) * g + o);
    }
}

void rampFourLane(const float* x, float* y, std::uint32_t n, float gEnd, float dg, float oEnd,
                  float dOffset) noexcept
{
    using namespace FourLane;
    const Floats gEnds = splat(gEnd);
    const Floats gSteps = splat(dg);
    const Floats oEnds = splat(oEnd);
    const Floats oSteps = splat(dOffset);
    const std::uint32_t whole = n & ~3u;
    // Samples still to go to the block's end, per lane: n-1-i .. n-4-i.
    Floats k = splat(static_cast<float>(n - 1)) - Floats{0.0f, 1.0f, 2.0f, 3.0f};
    std::uint32_t i = 0;
    for (; i < whole; i += 4) {
        const Floats g = gEnds - k * gSteps;
        const Floats o = oEnds - k * oSteps;
        store(y + i, flushDenormals(flushDenormals(load(x + i)) * g + o));
        k -= splat(4.0f);
    }
    for (; i < n; ++i) {
        const auto kk = static_cast<float>(n - 1 - i);
        y[i] = flushedDenormal(flushedDenormal(x[i]) * (gEnd - kk * dg) + (oEnd - kk * dOffset));
    }
}

} // namespace AudioEngine::LinearComb1Details
