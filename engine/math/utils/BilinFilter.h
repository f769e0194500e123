#pragma once

#include "engine/math/Bilinear.h"
#include "engine/math/SampleFlush.h"
#include "engine/math/utils/FilterChannels.h"

namespace utils {

// A stand-alone first-order filter for the mixer effects, one or two
// interleaved channels sharing one set of coefficients:
//   y = b1 x1 + b0 x - a1 y1,
// worked in double, stored as float, inputs and outputs flushed. Blocks of any
// length give exactly what the same frames give one by one. A pass-through until
// a design or setCoefficients runs.
class BilinFilter : public FilterChannels {
public:
    struct State {
        float x1 = 0.0f;
        float y1 = 0.0f;
    };

    BilinFilter() = default;
    ~BilinFilter() override = default;

    virtual void reset();
    virtual void setCoefficients(float b0, float b1, float a1);
    // H(s) = (B0 + B1 s) / (A0 + A1 s).
    virtual void designFromS(float B1, float B0, float A1, float A0);
    // w / (s + w).
    virtual void designLowPass(float w);
    // s / (s + w).
    virtual void designHighPass(float w);
    virtual void processBlock(float* out, const float* in, int frames);
    virtual void processFrame(float* out, const float* in);

    const AudioEngine::AudioMath::FirstOrderZ& getCoefficients() const noexcept { return k_; }
    const State& getState(int channel) const noexcept { return state_[channel]; }

    static float step(float input, const AudioEngine::AudioMath::FirstOrderZ& k, State& s) noexcept
    {
        const double x = AudioEngine::AudioMath::flushedSample(input);
        const double y = static_cast<double>(k.b1) * s.x1 + static_cast<double>(k.b0) * x -
                         static_cast<double>(k.a1) * s.y1;
        const float out = AudioEngine::AudioMath::flushedSample(static_cast<float>(y));
        s.x1 = static_cast<float>(x);
        s.y1 = out;
        return out;
    }

private:
    State state_[2];
    AudioEngine::AudioMath::FirstOrderZ k_{1.0f, 0.0f, 0.0f};
};

} // namespace utils
