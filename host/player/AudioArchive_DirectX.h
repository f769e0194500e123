#pragma once

// The working decoder: libsndfile reads the file (WAV, AIFF, FLAC, Ogg
// Vorbis, MP3 and the rest it knows), libsamplerate converts a forced rate.
// Decoding runs in blocks inside progress(), on the caller's thread (the
// player's loader thread), about 100 ms of work per call: the first call
// sizes the arrays for the length estimate, every block is mapped onto the
// delivered channels, converted when the rate is forced, stored as floats and
// drawn into the overview. At completion the length becomes the frames held.

#include "host/player/AudioArchiveBase.h"
#include "host/player/aaLoaderHelper.h"

#include <samplerate.h>
#include <sndfile.h>

#include <string>

namespace player {

class AudioArchive_DirectX : public AudioArchiveBase {
public:
    AudioArchive_DirectX() = default;
    ~AudioArchive_DirectX() override;
    AudioArchive_DirectX(const AudioArchive_DirectX&) = delete;
    AudioArchive_DirectX& operator=(const AudioArchive_DirectX&) = delete;

    bool open(const char* path) override;
    bool describe(char* text, int size) override;
    void close() override;
    void closeNow() override { close(); }
    int channels() override { return forcedChannels_ > 0 ? forcedChannels_ : fileChannels_; }
    int sampleRate() override { return forcedRate_ > 0 ? forcedRate_ : fileRate_; }
    bool setChannels(int n) override;
    bool setSampleRate(int hz) override;
    bool readInterleaved(float* destination, std::int64_t firstFrame, int frames) override;
    bool readPlanar(float* const* channels, std::int64_t firstFrame, int frames) override;
    std::int64_t lengthFrames() override;
    int durationSeconds() override { return durationSeconds_; }
    bool isDecoding() override { return decoding_; }
    bool hasDuration() override { return durationSeconds_ != 0; }
    float progress() override;
    bool failed() override { return failed_; }
    bool overview(std::vector<float>& points, int& count, int& changedFirst,
                  int& changedCount) override;

    int bits() const { return bits_; }

private:
    static constexpr int kBlockFrames = 4096;

    std::int64_t estimatedFrames() const;
    bool startDecoding();
    // Reads, maps, converts and stores one block; false at the end or on failure.
    bool decodeBlock();
    bool store(const float* interleaved, long frames);
    void finish(bool completed);

    SNDFILE* file_ = nullptr;
    SRC_STATE* converter_ = nullptr;
    int fileChannels_ = 2, fileRate_ = 44100, bits_ = 16;
    int forcedChannels_ = 0, forcedRate_ = 0;
    std::int64_t fileFrames_ = 0;
    int durationSeconds_ = 0;
    std::string description_;
    std::string path_;
    bool decoding_ = false, started_ = false, failed_ = false, inputEnded_ = false;
    aaLoaderHelper loader_;
    std::vector<float> fileBlock_, mapped_, converted_, planes_;
    std::vector<float*> planePointers_; // one a delivered channel, however many
};

} // namespace player
