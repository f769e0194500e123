#include "models/stomps/Wah.h"

#include <cmath>

namespace AudioEngine::BorvanQom {
namespace {

const float kPi = std::acos(-1.0f);

} // namespace

void WahTraits::FilterSide::design()
{
    // s / (s + 200 pi) through s = K (1 - z^-1) / (1 + z^-1), K = 2 fs, taken as
    // a second-order prototype (s^2 terms zero), so numerator and denominator
    // both carry the factor (1 + z^-1):
    //   H(z) = K (1 - z^-2) / ((200 pi + K) (1 + z^-1)(1 + p z^-1)),
    //   p = (200 pi - K) / (200 pi + K), the high-pass's own pole.
    // The signal never reaches the pole on z = -1, which the zero there cancels,
    // but the output's rounding does, every sample. Exactly on the unit circle
    // (and with float coefficients it may land just outside, as at 96 kHz) that
    // mode never dies: after an hour of loud playing the output in silence
    // holds a Nyquist-rate cycle some 50 dB down, which the envelope reads as a
    // held pedal offset. So the cancelled pole sits 2^-16 inside the circle:
    // the mode then dies out within about 2^16 samples, and the response moves
    // only within a hertz of half the sample rate.
    constexpr float kCancelledPole = 1.0f - 1.0f / 65536.0f;
    const float k = 2.0f * getSampleRate();
    const float a0 = 200.0f * kPi;
    const float n = 1.0f / (a0 + k);
    const float p = (a0 - k) * n;
    setCoefficients(k * n, 0.0f, -k * n, kCancelledPole + p, kCancelledPole * p);
}

void WahTraits::FilterWah::createParameters()
{
    depth_ = parameters_.addParameter(Parameter("Depth", "", 0.0f, 1.0f, 0.0f, 0), "Depth");
}

void WahTraits::FilterWah::design()
{
    // G (w0 / Q) s / (s^2 + (w0 / Q) s + w0^2): at s = j w0 the denominator is
    // (w0 / Q) j w0, so the gain there is exactly G.
    const float d = depth_->getValue();
    const float w0 = 300.0f * kPi * std::exp2(2.3f * d);
    const float q = 4.0f + 2.5f * d;
    const float g = 8.5f + 6.0f * d;
    installDesign(CoefficientsS(0.0f, g * w0 / q, 0.0f, w0 * w0, w0 / q, 1.0f));
}

} // namespace AudioEngine::BorvanQom
