#include "engine/math/utils/BilinFilter.h"

namespace utils {

void BilinFilter::reset()
{
    state_[0] = State{};
    state_[1] = State{};
}

void BilinFilter::setCoefficients(float b0, float b1, float a1) { k_ = {b0, b1, a1}; }

void BilinFilter::designFromS(float B1, float B0, float A1, float A0)
{
    k_ = AudioEngine::AudioMath::bilinearFirstOrder(B0, B1, A0, A1, sampleRate_);
}

void BilinFilter::designLowPass(float w) { designFromS(0.0f, w, 1.0f, w); }

void BilinFilter::designHighPass(float w) { designFromS(1.0f, 0.0f, 1.0f, w); }

void BilinFilter::processBlock(float* out, const float* in, int frames)
{
    if (frames <= 0)
        return;
    const AudioEngine::AudioMath::FirstOrderZ k = k_;
    if (channels_ == 2) {
        State left = state_[0];
        State right = state_[1];
        for (int f = 0; f < frames; ++f) {
            const float l = in[2 * f];
            const float r = in[2 * f + 1];
            out[2 * f] = step(l, k, left);
            out[2 * f + 1] = step(r, k, right);
        }
        state_[0] = left;
        state_[1] = right;
    } else {
        State s = state_[0];
        for (int f = 0; f < frames; ++f)
            out[f] = step(in[f], k, s);
        state_[0] = s;
    }
}

void BilinFilter::processFrame(float* out, const float* in)
{
    if (channels_ == 2) {
        const float l = in[0];
        const float r = in[1];
        out[0] = step(l, k_, state_[0]);
        out[1] = step(r, k_, state_[1]);
    } else {
        out[0] = step(in[0], k_, state_[0]);
    }
}

} // namespace utils
