#include "engine/dsp/MutingFader.h"

#include "engine/core/Denormal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace dsp::Domain::Pitch {

void MutingFader::setSampleRate(float sampleRate)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        return;
    sampleRate_ = sampleRate;
    const double length = std::trunc(double(sampleRate) * kFadeTimeMs * 0.001);
    length_ = static_cast<std::int32_t>(std::clamp(length, 1.0, 1.0e8));
    counter_ = std::min(counter_, length_);
}

void MutingFader::mute()
{
    if (state_ == Pass) {
        state_ = FadingOut;
        counter_ = 0;
    } else if (state_ == FadingIn) {
        // sqrt(1 - j/L) = sqrt(i/L) for j = L - i: the fade turns round at the gain it has.
        state_ = FadingOut;
        counter_ = length_ - counter_;
    }
}

void MutingFader::unmute()
{
    if (state_ == Muted) {
        state_ = FadingIn;
        counter_ = 0;
    } else if (state_ == FadingOut) {
        state_ = FadingIn;
        counter_ = length_ - counter_;
    }
}

void MutingFader::process(const float* in, float* out, int count)
{
    const float inverseLength = 1.0f / static_cast<float>(length_);
    int i = 0;
    while (i < count) {
        switch (state_) {
        case Pass:
            if (out != in)
                std::memmove(out + i, in + i, sizeof(float) * static_cast<std::size_t>(count - i));
            return;
        case Muted:
            std::fill(out + i, out + count, 0.0f);
            return;
        case FadingOut:
            for (; i < count && counter_ < length_; ++i, ++counter_)
                out[i] = AudioEngine::flushedDenormal(
                    in[i] * std::sqrt(1.0f - static_cast<float>(counter_) * inverseLength));
            if (counter_ >= length_)
                state_ = Muted;
            break;
        case FadingIn:
            for (; i < count && counter_ < length_; ++i, ++counter_)
                out[i] = AudioEngine::flushedDenormal(
                    in[i] * std::sqrt(static_cast<float>(counter_) * inverseLength));
            if (counter_ >= length_)
                state_ = Pass;
            break;
        }
    }
}

} // namespace dsp::Domain::Pitch
