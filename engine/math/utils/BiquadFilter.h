#pragma once

#include "engine/math/Bilinear.h"
#include "engine/math/SampleFlush.h"
#include "engine/math/utils/FilterChannels.h"

namespace utils {

// A stand-alone second-order filter for the mixer effects: one or two
// interleaved channels, each with its own state, sharing one set of
// coefficients. Direct form I, worked in double and stored as float:
//   y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2,
// with each input and output flushed (zero for subnormals, NaN and infinities).
// Blocks of any length, zero included, give exactly what the same frames give
// one by one; input and output may be the same buffer.
//
// The designs map an analogue prototype with the bilinear transform at the rate
// given to setup, without prewarping (w in rad/s). Until a design or
// setCoefficients runs the filter passes its input.
class BiquadFilter : public FilterChannels {
public:
    struct State {
        float x1 = 0.0f;
        float x2 = 0.0f;
        float y1 = 0.0f;
        float y2 = 0.0f;
    };

    BiquadFilter() = default;
    ~BiquadFilter() override = default;

    // Zeroes the state of both channels.
    virtual void reset();
    virtual void setCoefficients(float b0, float b1, float b2, float a1, float a2);
    // H(s) = (B0 + B1 s + B2 s^2) / (A0 + A1 s + A2 s^2).
    virtual void designFromS(float B2, float B1, float B0, float A2, float A1, float A0);
    // w^2 / (s^2 + d w s + w^2).
    virtual void designLowPass(float w, float d);
    // s^2 / (s^2 + d w s + w^2).
    virtual void designHighPass(float w, float d);
    // d w s / (s^2 + d w s + w^2).
    virtual void designBandPass(float w, float d);
    // (p1 p2 / (z1 z2)) (s + z1)(s + z2) / ((s + p1)(s + p2)): unity gain at DC.
    virtual void designZeroPole(float z1, float z2, float p1, float p2);
    // frames interleaved frames from in to out; frames <= 0 does nothing.
    virtual void processBlock(float* out, const float* in, int frames);
    // One interleaved frame.
    virtual void processFrame(float* out, const float* in);

    const AudioEngine::AudioMath::BiquadZ& getCoefficients() const noexcept { return k_; }
    const State& getState(int channel) const noexcept { return state_[channel]; }

    // One sample through one channel's state; what every frame does per channel.
    static float step(float input, const AudioEngine::AudioMath::BiquadZ& k, State& s) noexcept
    {
        const double x = AudioEngine::AudioMath::flushedSample(input);
        const double y = static_cast<double>(k.b0) * x + static_cast<double>(k.b1) * s.x1 +
                         static_cast<double>(k.b2) * s.x2 - static_cast<double>(k.a1) * s.y1 -
                         static_cast<double>(k.a2) * s.y2;
        const float out = AudioEngine::AudioMath::flushedSample(static_cast<float>(y));
        s.x2 = s.x1;
        s.x1 = static_cast<float>(x);
        s.y2 = s.y1;
        s.y1 = out;
        return out;
    }

private:
    State state_[2];
    AudioEngine::AudioMath::BiquadZ k_{1.0f, 0.0f, 0.0f, 0.0f, 0.0f};
};

} // namespace utils
