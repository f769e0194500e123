#include "engine/math/utils/BilinFilter.h"

namespace utils {

void BilinFilter::reset()
{
    state_[0] = State{};
    state_[1] = State{};
}

void BilinFilter::setCoefficients(float b0, float b1, float a1)
{
    k_ = {b0, b1, a1};
}

void BilinFilter::designFromS(float B1, float B0, float A1, float A0)
{
    k_ = AudioEngine::AudioMath::bilinearFirstOrder(B0, B1, A0, A1, sampleRate_);
}

void BilinFilter::designLowPass(float w)
{
    designFromS(0.0f, w, 1.0f, w);
}

void BilinFilter::designHighPass(float w)
{
    designFromS(1.0f, 0.0f, 1.0f, w);
}

void BilinFilter::processBlock(float* out, const float* in, int frames)
{
    processInterleaved(channels_, state_, k_, out, in, frames, &BilinFilter::step);
}

void BilinFilter::processFrame(float* out, const float* in)
{
    processInterleaved(channels_, state_, k_, out, in, 1, &BilinFilter::step);
}

} // namespace utils
