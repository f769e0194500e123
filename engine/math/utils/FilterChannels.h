#pragma once

#include <cstdint>

namespace utils {

// Channel count and sample rate of a stand-alone filter utility. Created for
// one channel at 44100 Hz; setup gives the host's values before use.
class FilterChannels {
public:
    FilterChannels() = default;
    virtual ~FilterChannels() = default;

    // 1 (mono) or 2 (interleaved stereo) channels and a positive rate in hertz;
    // anything else throws std::invalid_argument. Set-up time only.
    virtual void setup(int channels, int sampleRate);

    int getChannels() const noexcept { return channels_; }
    float getSampleRate() const noexcept { return sampleRate_; }

protected:
    std::int32_t channels_ = 1;
    float sampleRate_ = 44100.0f;
};

// Runs one filter step over `frames` mono frames or interleaved stereo frames,
// with a state per channel (copied to locals for the loop). Reading both
// channels of a frame before writing keeps in-place processing exact.
template <class State, class Coefficients, class Step>
void processInterleaved(int channels, State* states, const Coefficients& k, float* out,
                        const float* in, int frames, Step step) noexcept
{
    if (frames <= 0)
        return;
    if (channels == 2) {
        State left = states[0];
        State right = states[1];
        for (int f = 0; f < frames; ++f) {
            const float l = in[2 * f];
            const float r = in[2 * f + 1];
            out[2 * f] = step(l, k, left);
            out[2 * f + 1] = step(r, k, right);
        }
        states[0] = left;
        states[1] = right;
    } else {
        State s = states[0];
        for (int f = 0; f < frames; ++f)
            out[f] = step(in[f], k, s);
        states[0] = s;
    }
}

} // namespace utils
