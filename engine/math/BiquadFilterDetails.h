#pragma once

#include "engine/math/Bilinear.h"

namespace AudioEngine::BiquadFilterDetails {

// H(s) = (B0 + B1 s + B2 s^2) / (A0 + A1 s + A2 s^2), as a stage designs it.
template <class T> struct CoeffsS {
    CoeffsS() = default;
    CoeffsS(T b0, T b1, T b2, T a0, T a1, T a2) : B0(b0), B1(b1), B2(b2), A0(a0), A1(a1), A2(a2) {}
    CoeffsS(const CoeffsS&) = default;
    CoeffsS& operator=(const CoeffsS&) = default;
    virtual ~CoeffsS() = default;

    T B0 = 0;
    T B1 = 0;
    T B2 = 0;
    T A0 = 1;
    T A1 = 0;
    T A2 = 0;
};

// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
template <class T> struct CoeffsZ {
    T b0 = 0;
    T b1 = 0;
    T b2 = 0;
    T a1 = 0;
    T a2 = 0;
};

// The bilinear transform of one s-domain record (see Bilinear.h: no prewarping,
// lower-order prototypes transformed at their own order). A stage builds one on
// the stack from the coefficients it computed and asks for the z record at the
// current sample rate.
template <class Z, class S> class CoeffsSToZBilinear {
public:
    explicit CoeffsSToZBilinear(const S& s) : s_(s) {}
    virtual ~CoeffsSToZBilinear() = default;

    virtual Z& transform(Z& z, float sampleRate) const
    {
        const AudioMath::BiquadZ d =
            AudioMath::bilinearBiquad(s_.B0, s_.B1, s_.B2, s_.A0, s_.A1, s_.A2, sampleRate);
        z.b0 = d.b0;
        z.b1 = d.b1;
        z.b2 = d.b2;
        z.a1 = d.a1;
        z.a2 = d.a2;
        return z;
    }
    Z transform(float sampleRate) const
    {
        Z z;
        return transform(z, sampleRate);
    }

private:
    S s_;
};

} // namespace AudioEngine::BiquadFilterDetails
