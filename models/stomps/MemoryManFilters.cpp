#include "models/stomps/MemoryManFilters.h"

#include <algorithm>
#include <cmath>

namespace AudioEngine::CX2::MemoryManTraitsDetails {

namespace {
const float kPi = std::acos(-1.0f);
} // namespace

float prewarped(float hertz, float sampleRate) noexcept
{
    const double fs = sampleRate;
    const double f = std::min(static_cast<double>(hertz), 0.45 * fs);
    return static_cast<float>(2.0 * fs * std::tan(static_cast<double>(kPi) * f / fs));
}

BiquadFilterDetails::CoeffsZ<float> lfoSmootherCoefficients(float tau, float sampleRate) noexcept
{
    const float k = 2.0f * sampleRate;
    const float tauK = tau * k;
    const float n = 1.0f + tauK;
    BiquadFilterDetails::CoeffsZ<float> z;
    z.b0 = 1.0f / n;
    z.b1 = 2.0f / n;
    z.b2 = 1.0f / n;
    z.a1 = 2.0f / n;
    z.a2 = (1.0f - tauK) / n;
    return z;
}

FilterZeroPoleDetails::CoeffsZ<float> controlSmootherCoefficients(float hertz,
                                                                  float sampleRate) noexcept
{
    const float w = prewarped(hertz, sampleRate);
    FilterZeroPoleDetails::CoeffsZ<float> z;
    FilterZeroPoleDetails::CoeffsSToZBilinear<FilterZeroPoleDetails::CoeffsZ<float>,
                                              FilterZeroPoleDetails::CoeffsS<float>>(
        FilterZeroPoleDetails::CoeffsS<float>(w, 0.0f, w, 1.0f))
        .transform(z, sampleRate);
    // a1 lies in (-1, 0], so 1 + a1 is exact, and so is half of it.
    z.b0 = 0.5f * (1.0f + z.a1);
    z.b1 = z.b0;
    return z;
}

void FeedbackFilterType::design()
{
    const float fs = getSampleRate();
    const float w1 = prewarped(lowCornerHz, fs);
    const float w2 = prewarped(highCornerHz, fs);
    installDesign(CoefficientsS(0.0f, w1 + w2, 0.0f, w1 * w2, w1 + w2, 1.0f));
}

void AntialiasFilterType::design()
{
    const float fs = getSampleRate();
    const float wa = prewarped(firstCornerHz, fs);
    const float wb = prewarped(secondCornerHz, fs);
    installDesign(CoefficientsS(wa * wb, 0.0f, 0.0f, wa * wb, wa + wb, 1.0f));
}

} // namespace AudioEngine::CX2::MemoryManTraitsDetails
