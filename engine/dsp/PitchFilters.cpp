#include "engine/dsp/PitchFilters.h"

#include "engine/math/Bilinear.h"

#include <cmath>
#include <numbers>

namespace dsp::Domain::Pitch {

void PitchBiquad::setFromS(float B0, float B1, float B2, float A0, float A1, float A2,
                           double sampleRate)
{
    const AudioEngine::AudioMath::BiquadZ z = AudioEngine::AudioMath::bilinearBiquad(
        B0, B1, B2, A0, A1, A2, static_cast<float>(sampleRate));
    b0_ = z.b0;
    b1_ = z.b1;
    b2_ = z.b2;
    a1_ = z.a1;
    a2_ = z.a2;
    reset();
}

void PitchBiquad::designLowPass(double cornerHz, double q, double sampleRate)
{
    const double w = 2.0 * std::numbers::pi * cornerHz;
    setFromS(float(w * w), 0.0f, 0.0f, float(w * w), float(w / q), 1.0f, sampleRate);
}

void PitchBiquad::designHighPass(double cornerHz, double q, double sampleRate)
{
    const double w = 2.0 * std::numbers::pi * cornerHz;
    setFromS(0.0f, 0.0f, 1.0f, float(w * w), float(w / q), 1.0f, sampleRate);
}

void PitchBiquad::designButterworthSection(int order, int index, double cornerHz, double sampleRate)
{
    const double w = 2.0 * sampleRate * std::tan(std::numbers::pi * cornerHz / sampleRate);
    // The pole pair at angle psi from the negative real axis, psi = pi (2 index + 1) / (2 order),
    // gives the factor s^2 + 2 cos(psi) w s + w^2.
    const double psi = std::numbers::pi * (2.0 * index + 1.0) / (2.0 * order);
    setFromS(float(w * w), 0.0f, 0.0f, float(w * w), float(2.0 * std::cos(psi) * w), 1.0f,
             sampleRate);
}

double PitchBiquad::dcGain() const
{
    const double denominator = 1.0 + a1_ + a2_;
    return denominator == 0.0 ? 0.0 : (b0_ + b1_ + b2_) / denominator;
}

void PitchBiquad::settle(double x)
{
    const double y = dcGain() * x;
    x1_ = x2_ = x;
    y1_ = y2_ = y;
}

} // namespace dsp::Domain::Pitch
