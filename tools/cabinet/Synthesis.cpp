#include "Synthesis.h"

#include <cmath>
#include <stdexcept>

namespace cabinet_tools {

double binOmega(int k)
{
    return 2.0 * kPi * kRate * k / kGrid;
}

Complex bilinearS(int k)
{
    // At the Nyquist bin tan() is about 1.6e16: the sections reach their limits to within rounding.
    return {0.0, 2.0 * kRate * std::tan(kPi * k / kGrid)};
}

double prewarp(double hz)
{
    return 2.0 * kRate * std::tan(kPi * hz / kRate);
}

Spectrum flatSpectrum()
{
    return Spectrum(kGrid / 2 + 1, Complex(1.0, 0.0));
}

void complexFft(std::vector<Complex>& data, int sign)
{
    const std::size_t n = data.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::size_t half = length / 2;
        for (std::size_t m = 0; m < half; ++m) {
            // Each twiddle straight from cos and sin: no recurrence error builds up.
            const double angle =
                sign * 2.0 * kPi * static_cast<double>(m) / static_cast<double>(length);
            const Complex w(std::cos(angle), std::sin(angle));
            for (std::size_t start = 0; start < n; start += length) {
                const Complex t = w * data[start + m + half];
                data[start + m + half] = data[start + m] - t;
                data[start + m] += t;
            }
        }
    }
}

std::vector<double> impulseResponse(const Spectrum& spectrum, int length)
{
    if (spectrum.size() != kGrid / 2 + 1)
        throw std::logic_error("spectrum of the wrong size");
    std::vector<Complex> full(kGrid);
    for (int k = 0; k <= kGrid / 2; ++k)
        full[k] = spectrum[k];
    // A real response: DC and Nyquist are real, the upper half mirrors the lower.
    full[0] = spectrum[0].real();
    full[kGrid / 2] = spectrum[kGrid / 2].real();
    for (int k = 1; k < kGrid / 2; ++k)
        full[kGrid - k] = std::conj(spectrum[k]);
    complexFft(full, +1);
    std::vector<double> samples(length);
    for (int i = 0; i < length; ++i)
        samples[i] = full[i].real() / kGrid;
    return samples;
}

Complex highPass2(Complex s, double w, double q)
{
    return s * s / (s * s + s * (w / q) + w * w);
}

Complex lowPass2(Complex s, double w, double q)
{
    return w * w / (s * s + s * (w / q) + w * w);
}

Complex lowPass1(Complex s, double w)
{
    return w / (s + w);
}

Complex peaking(Complex s, double w, double q, double gainDb)
{
    const double a = std::pow(10.0, gainDb / 40.0);
    return (s * s + s * (a * w / q) + w * w) / (s * s + s * (w / (a * q)) + w * w);
}

Complex ventedBox(Complex s, double ws, double qt, double alpha, double h, double ql)
{
    // Small's vented-box response: G(s) = (sT)^4 / ((sT)^4 + a1 (sT)^3 + a2 (sT)^2 + a3 sT + 1),
    // T = 1 / (ws sqrt(h)), with the leakage losses ql of the box.
    const double rh = std::sqrt(h);
    const double a1 = (ql + h * qt) / (rh * ql * qt);
    const double a2 = (h + (alpha + 1.0 + h * h) * ql * qt) / (h * ql * qt);
    const double a3 = (h * ql + qt) / (rh * ql * qt);
    const Complex x = s / (ws * rh);
    const Complex x2 = x * x;
    return x2 * x2 / (x2 * x2 + a1 * x2 * x + a2 * x2 + a3 * x + 1.0);
}

double pistonDirectivity(double omega, double radius, double sinTheta)
{
    const double x = omega / kSpeedOfSound * radius * sinTheta;
    if (x < 1e-6)
        return 1.0;
    return 2.0 * std::cyl_bessel_j(1.0, x) / x;
}

} // namespace cabinet_tools
