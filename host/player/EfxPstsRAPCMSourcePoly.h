#pragma once

// The pitch and time engine's view of an effect's source: a random-access
// source of one hour whose reads go to the effect's source callback.

#include "host/player/IRAPCMSource.h"
#include "host/player/zqEfxBase.h"

#include <vector>

namespace player {

class EfxPstsRAPCMSourcePoly : public IRAPCMSource {
public:
    EfxPstsRAPCMSourcePoly(zqEfxBase& effect, int sampleRate, int channels);

    // One hour: the engine itself never stops there, the player ends a song.
    std::int64_t length() const override { return std::int64_t(sampleRate_) * 3600; }
    int sampleRate() const override { return sampleRate_; }
    int channels() const override { return channels_; }
    // Two channels are interleaved from the two arrays the callback fills.
    void read(float* destination, std::int64_t first, std::int64_t last) override;

private:
    // 176400 bytes: two de-interleave arrays of 22050 floats.
    static constexpr int kPieceFrames = 22050;

    zqEfxBase& effect_;
    int sampleRate_;
    int channels_;
    std::vector<float> left_, right_;
};

} // namespace player
