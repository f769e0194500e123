#include "engine/modules/DelayLineVariable.h"

#include "engine/core/Denormal.h"
#include "engine/modules/RingRead.h"

#include <cmath>

namespace AudioEngine::DelayLineVariableDetails {

namespace {
// 2^25 samples (128 MiB): a second at rates up to 33 MHz.
constexpr float kMaximumSamples = 33554432.0f;
} // namespace

std::uint32_t ringSize(float sampleRate, float maximumMs) noexcept
{
    const float samples = std::trunc(sampleRate * maximumMs * 0.001f);
    if (!(samples > 0.0f))
        return 1;
    if (samples > kMaximumSamples)
        return static_cast<std::uint32_t>(kMaximumSamples) + 1;
    return static_cast<std::uint32_t>(samples) + 1;
}

std::int32_t process(float* ring, std::int32_t size, std::int32_t write, const float* x,
                     const float* t, float* y, std::uint32_t n, float msToSamples) noexcept
{
    if (size <= 0) {
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = 0.0f;
        return 0;
    }
    const auto longest = static_cast<float>(size - 1);
    std::int32_t w = write;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (w >= size)
            w -= size;
        ring[w] = flushedDenormal(x[i]);
        float d = msToSamples * t[i];
        if (!(d > 0.0f)) // also NaN
            d = 0.0f;
        else if (d > longest)
            d = longest;
        y[i] = flushedDenormal(readBehind(ring, size, w, d));
        if (++w == size)
            w = 0;
    }
    return w;
}

} // namespace AudioEngine::DelayLineVariableDetails
