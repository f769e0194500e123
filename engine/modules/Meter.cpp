#include "engine/modules/Meter.h"

namespace AudioEngine::CX2::MeterDetails {

float runEnvelope(const float* x, std::uint32_t n, float& envelope, float attack,
                  float release) noexcept
{
    // Below 1e-20 the envelope is silence; stopping there keeps the release
    // tail out of the denormal range.
    constexpr float kFloor = 1e-20f;
    float e = envelope;
    float highest = 0.0f;
    for (std::uint32_t i = 0; i < n; ++i) {
        float a = std::fabs(x[i]);
        if (!(a <= kLevelMaximum))
            a = kLevelMaximum;
        e = a + (a < e ? release : attack) * (e - a);
        if (e < kFloor)
            e = 0.0f;
        if (e > highest)
            highest = e;
    }
    envelope = e;
    return highest;
}

} // namespace AudioEngine::CX2::MeterDetails
