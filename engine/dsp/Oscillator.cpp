#include "engine/dsp/Oscillator.h"

#include <cmath>

namespace mixer {
namespace {

inline float wrapped(float phase, float period) noexcept
{
    return phase - period * std::floor(phase / period);
}

} // namespace

void Oscillator::setFormat(float sampleRate, std::int32_t samplesPerCall)
{
    if (sampleRate > 0.0f && std::isfinite(sampleRate)) {
        sampleRate_ = sampleRate;
        reciprocal_ = 1.0f / sampleRate;
    }
    if (samplesPerCall > 0)
        samplesPerCall_ = samplesPerCall;
}

void Oscillator::setFrequency(std::int32_t shape, std::uint32_t flags, float hertz)
{
    shape_ = shape >= kTriangle && shape <= kRandom ? shape : kTriangle;
    flags_ = flags;
    const float increment = hertz * static_cast<float>(samplesPerCall_) * reciprocal_;
    increment_ = std::isfinite(increment) && increment >= 0.0f ? increment : 0.0f;
}

void Oscillator::reset()
{
    phase_ = 0.0f;
    last_ = -1.0f;
}

float Oscillator::step()
{
    float value = last_;
    switch (shape_) {
    case kSquare:
        if (phase_ >= 0.5f) {
            phase_ = wrapped(phase_, 0.5f);
            value = -1.0f - value;
        }
        break;
    case kSaw:
        phase_ = wrapped(phase_, 1.0f);
        value = phase_ - 1.0f;
        break;
    case kSine:
        // Wrapped like the others: an ever-growing phase would lose float
        // resolution after some hours and freeze the wave.
        phase_ = wrapped(phase_, 1.0f);
        value = (std::sin(6.283f * phase_) - 1.0f) * 0.5f;
        break;
    case kRandom:
        if (phase_ >= 1.0f) {
            phase_ = wrapped(phase_, 1.0f);
            random_ = random_ * 1103515245u + 12345u;
            value = static_cast<float>(random_ & 0x3FFFFFFFu) * 0x1p-30f - 1.0f;
        }
        break;
    default:
        phase_ = wrapped(phase_, 1.0f);
        value = 2.0f * std::fabs(phase_ - 0.5f) - 1.0f;
        break;
    }
    last_ = value;
    phase_ += increment_;
    return flags_ & kBipolar ? 2.0f * value + 1.0f : value;
}

} // namespace mixer
