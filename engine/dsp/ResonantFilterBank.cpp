#include "engine/dsp/ResonantFilterBank.h"

namespace mixer {
namespace {

// x within [low, high]; a NaN fails both tests and gives low.
inline float limited(float x, float low, float high) noexcept
{
    return x >= low ? (x <= high ? x : high) : low;
}

void design(utils::BiquadFilter& filter, std::int32_t response, float w, float d)
{
    switch (response) {
    case ResonantFilterBank::kBandPass:
        filter.designBandPass(w, d);
        break;
    case ResonantFilterBank::kHighPass:
        filter.designHighPass(w, d);
        break;
    default:
        filter.designLowPass(w, d);
        break;
    }
}

} // namespace

void ResonantFilterBank::setFormat(std::int32_t channels, std::int32_t sampleRate)
{
    firstOrder_.setup(channels, sampleRate);
    for (utils::BiquadFilter& biquad : biquads_)
        biquad.setup(channels, sampleRate);
}

void ResonantFilterBank::setShape(std::int32_t poles, std::int32_t response)
{
    poles_ = poles == 1 || poles == 4 ? poles : 2;
    response_ = response == kBandPass || response == kHighPass ? response : kLowPass;
}

void ResonantFilterBank::update()
{
    cutoff_ = limited(cutoff_, kMinCutoff, kMaxCutoff);
    q_ = limited(q_, kMinQ, kMaxQ);
    const float w = 6.283f * cutoff_;
    const float d = 1.0f / q_;
    if (poles_ == 1) {
        if (response_ == kHighPass)
            firstOrder_.designHighPass(w);
        else
            firstOrder_.designLowPass(w);
        return;
    }
    design(biquads_[0], response_, w, d);
    if (poles_ == 4) {
        // The second section is damped 1.35 times as much, which keeps the
        // cascade's resonant peak (in dB) well below twice the first's; for the
        // low-pass it also sits a little lower, spreading the two peaks.
        design(biquads_[1], response_, response_ == kLowPass ? 0.9f * w : w, 1.35f * d);
    }
}

void ResonantFilterBank::reset()
{
    firstOrder_.reset();
    for (utils::BiquadFilter& biquad : biquads_)
        biquad.reset();
}

void ResonantFilterBank::process(float* out, const float* in, std::int32_t frames, float* work)
{
    switch (poles_) {
    case 1:
        firstOrder_.processBlock(out, in, frames);
        break;
    case 4:
        biquads_[0].processBlock(work, in, frames);
        biquads_[1].processBlock(out, work, frames);
        break;
    default:
        biquads_[0].processBlock(out, in, frames);
        break;
    }
}

} // namespace mixer
