#pragma once

// The interface of one audio file decoder: open a file, decode it whole into
// memory (progress() does the work, a slice per call, on its caller's
// thread), then read its frames from any position.

#include <cstdint>
#include <vector>

namespace player {

class AudioArchiveBase {
public:
    virtual ~AudioArchiveBase() = default;
    virtual bool open(const char* path) = 0;
    // "<format> with <n> chan, <rate>_Hz, <bits> Bit" into text (size bytes).
    virtual bool describe(char* text, int size) = 0;
    virtual void close() = 0;
    virtual void closeNow() = 0;
    // The channels and rate the frames are delivered in (forced or the file's).
    virtual int channels() = 0;
    virtual int sampleRate() = 0;
    // Forces the delivered channel count or rate; only before decoding starts.
    virtual bool setChannels(int n) = 0;
    virtual bool setSampleRate(int hz) = 0;
    // Frames outside 0 .. frames held read as zeros; false when any was outside.
    virtual bool readInterleaved(float* destination, std::int64_t firstFrame, int frames) = 0;
    virtual bool readPlanar(float* const* channels, std::int64_t firstFrame, int frames) = 0;
    // The estimate while decoding, the frames held once complete.
    virtual std::int64_t lengthFrames() = 0;
    virtual int durationSeconds() = 0;
    virtual bool isDecoding() = 0;
    virtual bool hasDuration() = 0;
    // Decodes for about 100 ms at most and answers the fraction done: exactly
    // 1.0 once complete (and on every later call), below 1.0 otherwise.
    virtual float progress() = 0;
    // Whether decoding ended without completing (a read or an allocation
    // failed); the file is then not loaded.
    virtual bool failed() = 0;
    // A copy of the 10000-point overview and the range changed since the last
    // call (which clears it).
    virtual bool overview(std::vector<float>& points, int& count, int& changedFirst,
                          int& changedCount) = 0;
};

} // namespace player
