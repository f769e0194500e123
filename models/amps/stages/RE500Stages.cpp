#include "models/amps/stages/RE500Stages.h"

#include "models/amps/stages/SwitchParameter.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails {

void Gain::createParameters()
{
    pad_ = parameters_.addParameter(StageSwitch::make("Pad"), "Pad");
    gain_ = parameters_.addParameter(Parameter("Gain", "", 0.0f, 1.0f, 0.5f, 0), "Gain");
}

void Gain::design()
{
    const float g = std::pow(gain_->getValue(), 3.321928f);
    if (g == 0.0f) {
        setCoefficients(0.0f, 0.0f, 0.0f);
        return;
    }
    const double pi = std::numbers::pi_v<float>;
    const double fc = 1.0 / (g * 50000.0 * pi * 4.4e-10);
    const float passBand =
        StageSwitch::isOn(*pad_) ? g * static_cast<float>(std::pow(10.0, -0.75)) : g;
    const double fs = getSampleRate();
    if (fc >= fs / 2.0) {
        setCoefficients(passBand, 0.0f, 0.0f);
        return;
    }
    const double a = 2.0 * fs * std::tan(pi * fc / fs);
    const double b = 2.0 * fs;
    const auto feedForward = static_cast<float>(passBand * a / (a + b));
    setCoefficients(feedForward, feedForward, static_cast<float>((a - b) / (a + b)));
}

} // namespace AudioEngine::BorvanQom::BorvanRE500TraitsDetails
