#pragma once

// A random-access PCM source: frames are read at any position, interleaved.

#include <cstdint>
#include <vector>

namespace player {

class IRAPCMSource {
public:
    virtual ~IRAPCMSource() = default;
    // Frames the source claims to hold.
    virtual std::int64_t length() const = 0;
    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Frames first up to (not including) last, interleaved into destination
    // (channels() floats a frame). Positions may lie before 0 or past length().
    virtual void read(float* destination, std::int64_t first, std::int64_t last) = 0;
};

// One channel (1 = left, 2 = right) of an interleaved stereo source.
class CRAPCMMonoAdapter : public IRAPCMSource {
public:
    // maxFrames: the longest read that will be asked for; the scratch is sized
    // here so that read never allocates.
    CRAPCMMonoAdapter(IRAPCMSource& stereo, int channel, int maxFrames);

    std::int64_t length() const override { return stereo_.length(); }
    int sampleRate() const override { return stereo_.sampleRate(); }
    int channels() const override { return 1; }
    void read(float* destination, std::int64_t first, std::int64_t last) override;

private:
    IRAPCMSource& stereo_;
    int channel_;
    std::vector<float> scratch_;
};

} // namespace player
