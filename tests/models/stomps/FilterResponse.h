#pragma once

// Magnitude responses of the digital sections the stomp models install, from
// their z-domain coefficients, in double precision.

#include <cmath>
#include <complex>
#include <numbers>

namespace stomps {

// |H(e^jw)| of (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2) at f hertz.
inline double biquadGain(double b0, double b1, double b2, double a1, double a2, double f, double fs)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / fs);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2));
}

template <class Coefficients> double biquadGain(const Coefficients& k, double f, double fs)
{
    return biquadGain(k.b0, k.b1, k.b2, k.a1, k.a2, f, fs);
}

// The frequency of the largest gain within [low, high] (golden-section search:
// the responses tested have one peak there).
template <class Gain> double peakFrequency(Gain gain, double low, double high)
{
    const double r = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = low, b = high;
    while (b - a > 1e-6) {
        const double c = b - r * (b - a), d = a + r * (b - a);
        if (gain(c) > gain(d))
            b = d;
        else
            a = c;
    }
    return 0.5 * (a + b);
}

// The digital image of an analogue frequency under the bilinear map s = 2 fs (1 - z^-1) / (1 +
// z^-1).
inline double bilinearImage(double hertz, double fs)
{
    return fs / std::numbers::pi * std::atan(std::numbers::pi * hertz / fs);
}

} // namespace stomps
