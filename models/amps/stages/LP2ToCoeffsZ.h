#pragma once

#include "engine/math/BiquadFilterDetails.h"

#include <cmath>
#include <numbers>

namespace AudioEngine::FilterLP2Details {

template <class T> struct LP2ToCoeffsZTraits {
    using Value = T;
    using CoeffsS = BiquadFilterDetails::CoeffsS<T>;
    using CoeffsZ = BiquadFilterDetails::CoeffsZ<T>;
};

// Second-order low-pass at `frequency` hertz with quality q,
//   H(s) = wa^2 / (s^2 + (wa / q) s + wa^2),  wa = 2 fs tan(pi f / fs),
// the corner prewarped so that after the bilinear transform the digital filter
// has exactly the gain q at f: -6.02 dB for the critically damped q = 0.5 of
// the optical stages' gain smoothers, whatever the rate.
//
// A corner at or above fs / 2 has no digital image (the prewarped wa turns
// negative or infinite, and the section unstable); the design is then a plain
// pass-through, as the rate already limits the band there.
template <class Traits> class LP2ToCoeffsZ {
public:
    using CoeffsS = typename Traits::CoeffsS;
    using CoeffsZ = typename Traits::CoeffsZ;

    LP2ToCoeffsZ(float frequency, float q) : frequency_(frequency), q_(q) {}
    LP2ToCoeffsZ(const LP2ToCoeffsZ&) = default;
    LP2ToCoeffsZ& operator=(const LP2ToCoeffsZ&) = default;

    // Writes the z record for the rate and returns it. Allocates nothing.
    virtual CoeffsZ& design(CoeffsZ& z, float sampleRate) const
    {
        if (!(frequency_ < sampleRate / 2.0f)) {
            z = CoeffsZ{};
            z.b0 = 1.0f;
            return z;
        }
        using Bilinear = BiquadFilterDetails::CoeffsSToZBilinear<CoeffsZ, CoeffsS>;
        return Bilinear(prototype(sampleRate)).transform(z, sampleRate);
    }
    virtual ~LP2ToCoeffsZ() = default;

    // The prewarped analogue prototype (B0, B1, B2, A0, A1, A2) = (wa^2, 0, 0, wa^2, wa / q, 1).
    CoeffsS prototype(float sampleRate) const
    {
        const double fs = sampleRate;
        const double pi = std::numbers::pi_v<float>;
        const auto wa = static_cast<float>(2.0 * fs * std::tan(pi * frequency_ / fs));
        return CoeffsS(wa * wa, 0.0f, 0.0f, wa * wa, wa / q_, 1.0f);
    }

    float getFrequency() const noexcept { return frequency_; }
    float getQ() const noexcept { return q_; }

private:
    float frequency_;
    float q_;
};

} // namespace AudioEngine::FilterLP2Details
