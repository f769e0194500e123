#include "engine/modules/LinearComb2.h"

#include "engine/core/Denormal.h"
#include "engine/modules/FourLane.h"

namespace AudioEngine::LinearComb2Details {

// The inputs are flushed before they are weighted: a denormal operand costs
// the processor a slow assist, and with weights of at most 1 its product would
// be flushed to the same +0.0 anyway.
void combine(const float* x1, const float* x2, float* y, std::uint32_t n, float a1,
             float a2) noexcept
{
    for (std::uint32_t i = 0; i < n; ++i)
        y[i] = flushedDenormal(flushedDenormal(flushedDenormal(x1[i]) * a1) +
                               flushedDenormal(flushedDenormal(x2[i]) * a2));
}

void combineFourLane(const float* x1, const float* x2, float* y, std::uint32_t n, float a1,
                     float a2) noexcept
{
    using namespace FourLane;
    const Floats w1 = splat(a1);
    const Floats w2 = splat(a2);
    std::uint32_t i = 0;
    for (; i + 4 <= n; i += 4)
        store(y + i, flushDenormals(flushDenormals(flushDenormals(load(x1 + i)) * w1) +
                                    flushDenormals(flushDenormals(load(x2 + i)) * w2)));
    combine(x1 + i, x2 + i, y + i, n - i, a1, a2);
}

} // namespace AudioEngine::LinearComb2Details
