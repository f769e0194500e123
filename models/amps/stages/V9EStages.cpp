#include "models/amps/stages/V9EStages.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails {

BiquadFilterDetails::CoeffsS<float> bandLimitedHighPass(float highPassHz, float lowPassHz,
                                                        float sampleRate)
{
    const double fs = sampleRate;
    const double pi = std::numbers::pi_v<float>;
    const auto w1 = static_cast<float>(2.0 * fs * std::tan(pi * highPassHz / fs));
    // A band limit at or above fs / 2 has no digital image (the prewarped
    // corner turns negative or infinite and the section unstable), and the
    // rate itself limits the band there: the high-pass s / (s + w1) stays alone.
    if (lowPassHz >= sampleRate / 2.0f)
        return BiquadFilterDetails::CoeffsS<float>(0.0f, 1.0f, 0.0f, w1, 1.0f, 0.0f);
    const auto w2 = static_cast<float>(2.0 * fs * std::tan(pi * lowPassHz / fs));
    return BiquadFilterDetails::CoeffsS<float>(0.0f, w1 + w2, 0.0f, w1 * w2, w1 + w2, 1.0f);
}

} // namespace AudioEngine::BorvanQom::BorvanV9ETraitsDetails
