#include "plugin/rig/EnvelopeConverters.h"

#include <cmath>

namespace Zq::BorvanRAZ::Document {

namespace {

// The constants are single-precision values; the formulas run in double.
constexpr double kBaseHz = 40.0f;
constexpr double kOctaves = 8.9296875f;
constexpr double kPerOctave = 0.025f;         // 1 / 40 Hz
constexpr double kOctaveShare = 0.111986004f; // 1 / 8.9296875, rounded to float

constexpr double kBaseResonance = 0.3f;
constexpr double kResonanceSpan = 2.3812501f;  // powers of 8 over the knob's travel
constexpr double kResonanceScale = 3.3333333f; // 1 / 0.3
constexpr double kResonanceNumerator = 128.0f;
constexpr double kResonanceDenominator = 304.80002f; // 128 * 2.3812501, rounded to float

double log2ByLn(double x)
{
    return std::log(x) / std::log(2.0);
}

} // namespace

float FreqConverter::fromNormalized(float n) const
{
    return static_cast<float>(kBaseHz * std::pow(2.0, static_cast<double>(n) * kOctaves));
}

float FreqConverter::toNormalized(float v) const
{
    return static_cast<float>(log2ByLn(static_cast<double>(v) * kPerOctave) * kOctaveShare);
}

float ResonanceConverter::fromNormalized(float n) const
{
    return static_cast<float>(kBaseResonance *
                              std::pow(8.0, static_cast<double>(n) * kResonanceSpan));
}

float ResonanceConverter::toNormalized(float v) const
{
    return static_cast<float>(kResonanceNumerator *
                              log2ByLn(kResonanceScale * static_cast<double>(v)) /
                              (kResonanceDenominator * log2ByLn(8.0)));
}

} // namespace Zq::BorvanRAZ::Document
