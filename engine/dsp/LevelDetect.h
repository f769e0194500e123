#pragma once

#include <cstdint>
#include <memory>

namespace utils {

// The level of a block of one or two interleaved channels: in peak mode (0)
// the largest absolute sample of each channel; in mode 1 the square root of the
// sum of the squares of each channel's samples. A NaN sample is passed over in
// peak mode. Created in peak mode for one channel.
class LevelDetect {
public:
    enum Mode : std::int32_t { kPeak = 0, kRootSumSquare = 1 };

    virtual ~LevelDetect() = default;

    // 1 or 2 channels (others are ignored); the rate is kept for the record,
    // no mode depends on it.
    virtual void setChannels(std::int32_t channels, float sampleRate);
    // kPeak or kRootSumSquare; others are ignored.
    virtual void setMode(std::int32_t mode);
    // The level of `frames` interleaved frames; each channel's value is written
    // where a pointer is given (with one channel both get it), and the larger
    // is returned. 0 for no frames. Audio thread; any alignment.
    virtual float measure(const float* samples, std::int32_t frames, float* left, float* right);

    std::int32_t getMode() const noexcept { return mode_; }
    std::int32_t getChannels() const noexcept { return channels_; }

protected:
    // Both channels' values (for one channel both the same) from a non-empty block.
    virtual void levels(const float* samples, std::int32_t frames, float& left, float& right) const;

    std::int32_t mode_ = kPeak;
    std::int32_t channels_ = 1;
    float sampleRate_ = 44100.0f;
};

// The same on four-lane SSE vectors (absolute value by clearing the sign bit,
// lane-wise maximum, lane-wise squares and sums), the lanes reduced at the end.
// Sums are taken in another order than the plain form's, so mode 1 agrees with
// it to rounding. Where the build has no SSE it is the plain form.
class LevelDetectKATMAI : public LevelDetect {
protected:
    void levels(const float* samples, std::int32_t frames, float& left,
                float& right) const override;
};

// The detector for the kernel set in use: LevelDetectKATMAI when the feature
// word of the last kernel dispatch has the SSE bit (0x80), else the plain form.
std::unique_ptr<LevelDetect> createLevelDetector();
// The same for a given feature word.
std::unique_ptr<LevelDetect> createLevelDetector(std::uint32_t features);

} // namespace utils
