#include "editor/panels/MeterScale.h"

#include <cmath>

namespace Zq::BorvanRAZ::GUI {

float meterPosition(float level)
{
    constexpr float bottom = -62.0f;
    if (!std::isfinite(level) || level <= 0.0f)
        return bottom;
    const double dB = 20.0 * std::log10(static_cast<double>(level));
    if (dB <= -60.0)
        return bottom;
    // The exponent that puts -6 dB half way: 0.9 ^ k = 0.5.
    static const double k = std::log10(0.5) / std::log10(0.9);
    return static_cast<float>(60.0 * std::pow((dB + 60.0) / 60.0, k) - 60.0);
}

} // namespace Zq::BorvanRAZ::GUI
