#include "engine/math/Bilinear.h"

#include <cmath>

namespace AudioEngine::AudioMath {
namespace {

bool allFinite(const BiquadZ& z) noexcept
{
    return std::isfinite(z.b0) && std::isfinite(z.b1) && std::isfinite(z.b2) &&
           std::isfinite(z.a1) && std::isfinite(z.a2);
}

bool allFinite(const FirstOrderZ& z) noexcept
{
    return std::isfinite(z.b0) && std::isfinite(z.b1) && std::isfinite(z.a1);
}

} // namespace

FirstOrderZ bilinearFirstOrder(float B0, float B1, float A0, float A1, float sampleRate) noexcept
{
    FirstOrderZ z;
    if (B1 == 0.0f && A1 == 0.0f) {
        z.b0 = B0 / A0;
    } else {
        const float c = 2.0f * sampleRate;
        const float n = 1.0f / (A1 * c + A0);
        z.b0 = (B1 * c + B0) * n;
        z.b1 = (B0 - B1 * c) * n;
        z.a1 = (A0 - A1 * c) * n;
    }
    return allFinite(z) ? z : FirstOrderZ{};
}

BiquadZ bilinearBiquad(float B0, float B1, float B2, float A0, float A1, float A2,
                       float sampleRate) noexcept
{
    if (B2 == 0.0f && A2 == 0.0f) {
        const FirstOrderZ first = bilinearFirstOrder(B0, B1, A0, A1, sampleRate);
        return {first.b0, first.b1, 0.0f, first.a1, 0.0f};
    }
    const float c = 2.0f * sampleRate;
    const float c2 = c * c;
    // Partial sums rounded to float before they are combined.
    const float numeratorEven = B2 * c2 + B0;
    const float numeratorOdd = B1 * c;
    const float denominatorEven = A2 * c2 + A0;
    const float denominatorOdd = A1 * c;
    const float n = 1.0f / (denominatorEven + denominatorOdd);

    BiquadZ z;
    z.b0 = (numeratorEven + numeratorOdd) * n;
    z.b1 = 2.0f * (B0 - B2 * c2) * n;
    z.b2 = (numeratorEven - numeratorOdd) * n;
    z.a1 = 2.0f * (A0 - A2 * c2) * n;
    z.a2 = (denominatorEven - denominatorOdd) * n;
    return allFinite(z) ? z : BiquadZ{};
}

} // namespace AudioEngine::AudioMath
