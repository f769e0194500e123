#pragma once

namespace AudioEngine::AudioMath {

// z-domain coefficients of H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
struct BiquadZ {
    float b0 = 0.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
};

// z-domain coefficients of H(z) = (b0 + b1 z^-1) / (1 + a1 z^-1).
struct FirstOrderZ {
    float b0 = 0.0f;
    float b1 = 0.0f;
    float a1 = 0.0f;
};

// The bilinear transform s = c (1 - z^-1) / (1 + z^-1), c = 2 fs, without
// prewarping: an analogue frequency w lands at the digital 2 atan(w / (2 fs)), and
// a design that wants an exact corner prewarps it itself. Worked in single
// precision with c^2 rounded to float, as the filters' coefficients are floats.
//
// A prototype of lower order than the section (B2 = A2 = 0, or B1 = A1 = 0 as
// well) is transformed at its own order. The full-order formula would multiply
// numerator and denominator by (1 + z^-1) per missing order: H(s) = 1 would come
// out as (1 + 2 z^-1 + z^-2) / (1 + 2 z^-1 + z^-2), with poles on the unit circle
// at z = -1 through which direct form I lets rounding noise grow without bound.
//
// A prototype with no finite digital equivalent (a zero or non-finite
// denominator) gives all-zero coefficients: silence rather than a blow-up.
BiquadZ bilinearBiquad(float B0, float B1, float B2, float A0, float A1, float A2,
                       float sampleRate) noexcept;

// H(s) = (B0 + B1 s) / (A0 + A1 s) the same way; B1 = A1 = 0 gives b0 = B0 / A0
// and b1 = a1 = 0.
FirstOrderZ bilinearFirstOrder(float B0, float B1, float A0, float A1, float sampleRate) noexcept;

} // namespace AudioEngine::AudioMath
