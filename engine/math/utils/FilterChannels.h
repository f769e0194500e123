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

} // namespace utils
