#pragma once

// The decoder facade the player holds: it keeps the table of decoder kinds
// and forwards every operation to its current decoder; without one, every
// operation answers false, 0 or 0.0.
//
// Five kinds are named, each with an enabled flag; only "DirectX" decodes
// (with libsndfile), the others exist by name only.

#include "host/player/AudioArchiveBase.h"

#include <memory>

namespace player {

class AudioArchive : public AudioArchiveBase {
public:
    static constexpr int kKindCount = 5;
    static constexpr int kKindNameSize = 32;

    AudioArchive() = default;
    ~AudioArchive() override = default;

    // Replaces any current decoder; fails when the "DirectX" kind is disabled
    // or the file cannot be opened.
    bool open(const char* path) override;
    bool describe(char* text, int size) override;
    void close() override;
    void closeNow() override;
    int channels() override;
    int sampleRate() override;
    bool setChannels(int n) override;
    bool setSampleRate(int hz) override;
    bool readInterleaved(float* destination, std::int64_t firstFrame, int frames) override;
    bool readPlanar(float* const* channels, std::int64_t firstFrame, int frames) override;
    std::int64_t lengthFrames() override;
    int durationSeconds() override;
    bool isDecoding() override;
    bool hasDuration() override;
    float progress() override;
    bool failed() override;
    bool overview(std::vector<float>& points, int& count, int& changedFirst,
                  int& changedCount) override;

    // Sets one kind's flag by its exact name, or every flag for "all"; false
    // for an unknown name.
    bool setKindEnabled(const char* name, bool enabled);
    bool isKindEnabled(const char* name) const;
    static const char* kindName(int index);

private:
    std::unique_ptr<AudioArchiveBase> decoder_;
    bool enabled_[kKindCount] = {true, true, true, true, true};
};

} // namespace player
