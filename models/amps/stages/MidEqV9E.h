#pragma once

#include "engine/math/BiquadFilter.h"
#include "engine/math/Curve2.h"
#include "engine/math/FilterVariable.h"

#include <array>

namespace AudioEngine::FilterPeakDetails {

// Peaking section of constant bandwidth, centre `frequency` hertz, `gainDb` at
// the centre and `octaves` between the two frequencies where the boost is half
// the peak in dB:
//   w = 2 pi F / fs, Ag = 10^(G / 40),
//   alpha = sin w sinh((ln 2 / 2) BW w / sin w),
//   b0 = (1 + alpha Ag) / d, b1 = a1 = -2 cos w / d, b2 = (1 - alpha Ag) / d,
//   a2 = (1 - alpha / Ag) / d,  d = 1 + alpha / Ag.
// At 0 dB numerator and denominator are the same: the section is flat.
struct PeakConstWidthToCoeffsZ {
    float frequency;
    float gainDb;
    float octaves;

    BiquadFilterDetails::CoeffsZ<float> transform(float sampleRate) const;
};

} // namespace AudioEngine::FilterPeakDetails

namespace AudioEngine::BorvanQom::MidEqDetails {

// A knob curve of the mid control: seven knots (x, y), read by linear
// interpolation, the end segments extended beyond the knots.
struct ParamLinear {
    class ParamCurve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
    public:
        static constexpr int knots = 7;
        static constexpr std::array<float, knots> x = {0.0f, 0.1f, 0.3f, 0.5f, 0.6f, 0.8f, 1.0f};

        explicit ParamCurve(const std::array<float, knots>& y);
        float evaluate(float value) const noexcept;
    };
};

// The five-position mid control of the tube heads: a peaking section whose
// band edges A and B, centre F and gain G follow "MidGain" along measured
// knob curves, one set of curves per "MidFrequency" position. "MidFrequency"
// has the states "Frq5" = 0 (250 Hz) up to "Frq1" = 4 (2.8 kHz), default
// "Frq3" (920 Hz), set at once by the change queue; "MidGain" runs 0 .. 1,
// default 0.5 (flat), and is slewed.
class MidEqV9E : public FilterVariable<BiquadFilter<>> {
public:
    MidEqV9E();

    void createParameters() override;

    // The (A, B, F, G) curves of the position "Frq1" .. "Frq5" (index 0 .. 4).
    struct Group {
        ParamLinear::ParamCurve lower;
        ParamLinear::ParamCurve upper;
        ParamLinear::ParamCurve centre;
        ParamLinear::ParamCurve gain;
    };

protected:
    void design() override;

private:
    std::array<Group, 5> groups_;
    ParameterBase* gain_ = nullptr;
    ParameterBase* frequency_ = nullptr;
};

} // namespace AudioEngine::BorvanQom::MidEqDetails
