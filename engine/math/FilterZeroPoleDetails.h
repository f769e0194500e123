#pragma once

#include "engine/math/Bilinear.h"

namespace AudioEngine::FilterZeroPoleDetails {

// H(s) = (B0 + B1 s) / (A0 + A1 s), as a stage designs it.
template <class T> struct CoeffsS {
    CoeffsS() = default;
    CoeffsS(T b0, T b1, T a0, T a1) : B0(b0), B1(b1), A0(a0), A1(a1) {}
    CoeffsS(const CoeffsS&) = default;
    CoeffsS& operator=(const CoeffsS&) = default;
    virtual ~CoeffsS() = default;

    T B0 = 0;
    T B1 = 0;
    T A0 = 1;
    T A1 = 0;
};

// H(z) = (b0 + b1 z^-1) / (1 + a1 z^-1).
template <class T> struct CoeffsZ {
    T b0 = 0;
    T b1 = 0;
    T a1 = 0;
};

// The first-order bilinear transform (see Bilinear.h).
template <class Z, class S> class CoeffsSToZBilinear {
public:
    explicit CoeffsSToZBilinear(const S& s) : s_(s) {}
    virtual ~CoeffsSToZBilinear() = default;

    virtual Z& transform(Z& z, float sampleRate) const
    {
        const AudioMath::FirstOrderZ d =
            AudioMath::bilinearFirstOrder(s_.B0, s_.B1, s_.A0, s_.A1, sampleRate);
        z.b0 = d.b0;
        z.b1 = d.b1;
        z.a1 = d.a1;
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

} // namespace AudioEngine::FilterZeroPoleDetails
