#include "engine/math/utils/BiquadFilter.h"

namespace utils {

void BiquadFilter::reset()
{
    state_[0] = State{};
    state_[1] = State{};
}

void BiquadFilter::setCoefficients(float b0, float b1, float b2, float a1, float a2)
{
    k_ = {b0, b1, b2, a1, a2};
}

void BiquadFilter::designFromS(float B2, float B1, float B0, float A2, float A1, float A0)
{
    k_ = AudioEngine::AudioMath::bilinearBiquad(B0, B1, B2, A0, A1, A2, sampleRate_);
}

void BiquadFilter::designLowPass(float w, float d)
{
    designFromS(0.0f, 0.0f, w * w, 1.0f, d * w, w * w);
}

void BiquadFilter::designHighPass(float w, float d)
{
    designFromS(1.0f, 0.0f, 0.0f, 1.0f, d * w, w * w);
}

void BiquadFilter::designBandPass(float w, float d)
{
    designFromS(0.0f, d * w, 0.0f, 1.0f, d * w, w * w);
}

void BiquadFilter::designZeroPole(float z1, float z2, float p1, float p2)
{
    const float zeros = z1 * z2;
    const float poles = p1 * p2;
    const float gain = poles / zeros;
    // B0 = gain z1 z2 is written as p1 p2 itself, so H(0) = 1 exactly.
    designFromS(gain, gain * (z1 + z2), poles, 1.0f, p1 + p2, poles);
}

void BiquadFilter::processBlock(float* out, const float* in, int frames)
{
    processInterleaved(channels_, state_, k_, out, in, frames, &BiquadFilter::step);
}

void BiquadFilter::processFrame(float* out, const float* in)
{
    processInterleaved(channels_, state_, k_, out, in, 1, &BiquadFilter::step);
}

} // namespace utils
