#include "models/stomps/OctaverTraits.h"

#include <cmath>

namespace AudioEngine::BorvanQom::OctaverTraitsDetails {

namespace {

const float kPi = std::acos(-1.0f);

float radians(float hertz)
{
    return 2.0f * kPi * hertz;
}

// The analogue corner that the bilinear transform maps onto fc exactly at this
// rate: 2 fs tan(pi fc / fs).
float prewarped(float hertz, float sampleRate)
{
    const double fs = sampleRate;
    return static_cast<float>(2.0 * fs * std::tan(static_cast<double>(kPi) * hertz / fs));
}

// Unity-gain first-order low-pass at the prewarped corner, times gain.
FirstOrder::CoefficientsS lowPass(float hertz, float gain, float sampleRate)
{
    const float wa = prewarped(hertz, sampleRate);
    return {gain * wa, 0.0f, wa, 1.0f};
}

// The rectifier feed and the reference share their poles and differ in the zero.
Biquad::CoefficientsS rectifierNetwork(float zeroTime)
{
    return {1.0f, zeroTime, 0.0f, 1.0f, 0.00135089f, 1.09989e-8f};
}

} // namespace

Biquad::CoefficientsS FilterOpAmp::prototype(float)
{
    const float wz1 = radians(0.0f);
    const float wz2 = radians(0.0f);
    const float wp1 = radians(5.0f);
    const float wp2 = radians(30.0f);
    const float k = 2.0f;
    return {k * wz1 * wz2, k * (wz1 + wz2), k, wp1 * wp2, wp1 + wp2, 1.0f};
}

Biquad::CoefficientsS FilterPreLP::prototype(float)
{
    const float a = 40.0f * kPi;
    const float b = 80.0f * kPi;
    const float gain = static_cast<float>(std::pow(10.0, 3.65861385));
    return {0.0f, gain, 0.0f, a * b, a + b, 1.0f};
}

Biquad::CoefficientsS FilterRectPre::prototype(float)
{
    return rectifierNetwork(0.00068f);
}

Biquad::CoefficientsS FilterRef::prototype(float)
{
    return rectifierNetwork(0.00101f);
}

Biquad::CoefficientsS FilterOctaveLP1::prototype(float)
{
    const float r1 = 22000.0f; // both resistors of the Sallen-Key stage
    const float r2 = 22000.0f;
    const float c1 = 1.5e-8f; // from the junction of the resistors' far side to ground
    const float c2 = 2.2e-7f; // from the resistors' junction back to the output
    const float k = 1.0f;     // follower gain
    return {k, 0.0f, 0.0f, 1.0f, (r1 + r2) * c1 + r1 * c2 * (1.0f - k), r1 * r2 * c1 * c2};
}

FirstOrder::CoefficientsS FilterOctaveLP2::prototype(float sampleRate)
{
    return lowPass(72.38f, static_cast<float>(std::pow(10.0, -0.6)), sampleRate);
}

FirstOrder::CoefficientsS EnvelopeAttackFilter::prototype(float sampleRate)
{
    return lowPass(159.23f, 1.0f, sampleRate);
}

FirstOrder::CoefficientsS EnvelopeReleaseFilter::prototype(float sampleRate)
{
    return lowPass(14.475f, 1.0f, sampleRate);
}

} // namespace AudioEngine::BorvanQom::OctaverTraitsDetails
