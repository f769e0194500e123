#pragma once

// Frequency-domain synthesis of impulse responses at 44100 Hz, in double precision.
//
// A response is described by its transfer function on a dense grid of kGrid bins, turned into
// samples by one inverse FFT. Rational (lumped-element) parts are evaluated through the bilinear
// map s = j 2 fs tan(w / (2 fs)) with prewarped corner frequencies: on the grid this is exactly
// the frequency response of the causal IIR filter the bilinear transform makes of the analog
// prototype, so the inverse FFT returns that filter's impulse response (the grid is long enough
// for every tail to have died before it wraps). Low-passes then vanish at the Nyquist frequency,
// which keeps the ideal fractional delays of the acoustic paths free of audible pre-ringing.

#include <complex>
#include <vector>

namespace cabinet_tools {

using Complex = std::complex<double>;

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kSpeedOfSound = 343.0; // m/s, air at 20 degrees C
constexpr int kGrid = 1 << 17; // about 3 s: every modelled tail decays far below 1e-12 in it

// One transfer function sampled at bins 0 .. kGrid/2 (DC to Nyquist).
using Spectrum = std::vector<Complex>;

// Angular frequency (rad/s) of bin k.
double binOmega(int k);
// The Laplace variable the bilinear transform assigns to bin k: j 2 fs tan(w / (2 fs)).
Complex bilinearS(int k);
// A corner frequency in hertz prewarped for the bilinear map, in rad/s.
double prewarp(double hz);

// A spectrum that is 1 everywhere.
Spectrum flatSpectrum();

// In-place radix-2 complex FFT; sign -1 forward, +1 inverse (unscaled).
void complexFft(std::vector<Complex>& data, int sign);

// The first `length` samples of the real response whose spectrum (DC .. Nyquist) is given.
std::vector<double> impulseResponse(const Spectrum& spectrum, int length);

// Analog sections, all of them functions of s and corners in rad/s.
Complex highPass2(Complex s, double w, double q);
Complex lowPass2(Complex s, double w, double q);
Complex lowPass1(Complex s, double w);
// A resonance of gainDb at w: peak (or dip) of the constant-Q form, unity far from w.
Complex peaking(Complex s, double w, double q, double gainDb);
// Fourth-order vented-box high-pass (Thiele, Small): driver resonance ws, total Q qt, compliance
// ratio alpha = Vas / Vb, tuning ratio h = fb / fs and box losses ql.
Complex ventedBox(Complex s, double ws, double qt, double alpha, double h, double ql);

// Far-field directivity of a rigid circular piston in an infinite baffle, 2 J1(x) / x with
// x = k a sin(theta).
double pistonDirectivity(double omega, double radius, double sinTheta);

} // namespace cabinet_tools
