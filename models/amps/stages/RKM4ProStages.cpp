#include "models/amps/stages/RKM4ProStages.h"

#include "models/amps/stages/ShelfMitraHigh.h"
#include "models/amps/stages/SwitchParameter.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails {

BiquadFilterDetails::CoeffsZ<float> shelfLowPass(float shelfHz, float shelfDb, float lowPassHz,
                                                 float g, float sampleRate)
{
    const auto shelf =
        CX1::FilterShelfDetails::ShelfMitraHighToCoeffsZ{shelfHz, shelfDb}.transform(sampleRate);
    const float s0 = shelf.b0;
    const float s1 = shelf.b1;
    const float s2 = shelf.a1;
    BiquadFilterDetails::CoeffsZ<float> z;
    if (lowPassHz >= sampleRate / 2.0f) {
        z.b0 = g * s0;
        z.b1 = g * s1;
        z.b2 = 0.0f;
        z.a1 = s2;
        z.a2 = 0.0f;
        return z;
    }
    const double fs = sampleRate;
    const double a =
        2.0 * fs * std::tan(static_cast<double>(std::numbers::pi_v<float>) * lowPassHz / fs);
    const double b = 2.0 * fs;
    const auto c = static_cast<float>(a / (a + b));
    const auto p = static_cast<float>((a - b) / (a + b));
    z.b0 = g * s0 * c;
    z.b1 = g * s0 * c + g * s1 * c;
    z.b2 = g * s1 * c;
    z.a1 = s2 + p;
    z.a2 = s2 * p;
    return z;
}

void PreFilter1::createParameters()
{
    pad_ = parameters_.addParameter(StageSwitch::make("Pad"), "Pad");
}

void PreFilter1::design()
{
    const float g = StageSwitch::isOn(*pad_) ? static_cast<float>(std::pow(10.0, -0.75)) : 1.0f;
    setCoefficients(shelfLowPass(2700.0f, 3.0f, 16000.0f, g, getSampleRate()));
}

void Bright::createParameters()
{
    bright_ = parameters_.addParameter(StageSwitch::make("Bright"), "Bright");
}

void Bright::design()
{
    const bool on = StageSwitch::isOn(*bright_);
    setCoefficients(shelfLowPass(shelfHz, on ? onDb : offDb, on ? onLowPassHz : offLowPassHz, 1.0f,
                                 getSampleRate()));
}

} // namespace AudioEngine::BorvanQom::BorvanRKM4ProTraitsDetails
