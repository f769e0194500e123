#include "engine/modules/Gain.h"

#include "engine/core/Denormal.h"
#include "engine/modules/FourLane.h"

namespace AudioEngine::GainModuleDetails {

// The product is flushed as well: a small gain on a small but normal sample
// would otherwise hand a denormal to every stage downstream.
void apply(const float* in, float* out, std::uint32_t n, float g) noexcept
{
    const float gain = flushedDenormal(g);
    for (std::uint32_t i = 0; i < n; ++i)
        out[i] = flushedDenormal(gain * flushedDenormal(in[i]));
}

void applyFourLane(const float* in, float* out, std::uint32_t n, float g) noexcept
{
    using namespace FourLane;
    const float gain = flushedDenormal(g);
    const Floats gains = splat(gain);
    std::uint32_t i = 0;
    for (; i + 4 <= n; i += 4)
        store(out + i, flushDenormals(gains * flushDenormals(load(in + i))));
    apply(in + i, out + i, n - i, gain);
}

} // namespace AudioEngine::GainModuleDetails
