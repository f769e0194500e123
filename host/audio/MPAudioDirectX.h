#pragma once

#include "host/audio/MPAudioBase.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// One direction of a PCM device: interleaved 16-bit stereo, blocking.
class MPAudioPcmStream {
public:
    virtual ~MPAudioPcmStream() = default;
    // Frames moved, or a negative error code.
    virtual long read(int16_t* frames, long count) = 0;
    virtual long write(const int16_t* frames, long count) = 0;
    // Makes the stream usable again after an underrun or overrun; false when
    // it cannot.
    virtual bool recover(long error) = 0;
    // Drops what is queued and wakes a blocked read or write. Any thread.
    virtual void drop() = 0;
    // Makes a dropped (or fresh) stream ready to run again.
    virtual bool prepare() = 0;
};

// The back end in the general-purpose role, over ALSA PCM devices (found by
// their name hints). Each direction opens 16-bit interleaved stereo at the
// configured rate, two periods of the buffer size; one thread per direction.
// Only device groups 0 and 1 of a direction (left and right) reach the device.
class MPAudioDirectX : public MPAudioBase {
public:
    MPAudioDirectX();
    ~MPAudioDirectX() override;

    // Float to 16 bits: × 32767, rounded to the nearest (input is clamped).
    static int16_t toSample(float value);
    // 16 bits to float: × 1/32767.
    static float fromSample(int16_t value);

    // How long stop waits for the device threads: tries × interval.
    void setStopBound(int tries, int intervalMs)
    {
        stopTries_ = tries;
        stopIntervalMs_ = intervalMs;
    }
    int runningThreads() const { return runningThreads_.load(); }

protected:
    bool deviceOpen() override;
    void deviceClose() override;
    bool deviceStart() override;
    void deviceStop() override;
    void deviceEnumerate() override;

    // Opens one direction of the named PCM; frames is the period asked and
    // comes back as the one granted. Null on failure.
    virtual std::unique_ptr<MPAudioPcmStream> openStream(const std::string& name, bool capture,
                                                         int sampleRate, int& frames);

    // One period of each direction, as the device threads run them (exposed to
    // derived classes so that the ring can be fed by hand).
    void resetRing();
    void playbackHalf(int16_t* half);
    void captureHalf(const int16_t* half);

private:
    std::string deviceName(int index, bool isInput) const;
    void playbackThread();
    void captureThread();
    void joinThreads();

    std::unique_ptr<MPAudioPcmStream> playback_;
    std::unique_ptr<MPAudioPcmStream> capture_;
    // The duplex ring: four halves written by the capture thread, read by the
    // playback thread one half behind.
    std::vector<int16_t> ring_;
    int ringWrite_ = 0;
    int ringRead_ = 0;
    std::atomic<int64_t> halvesWritten_{0};
    std::atomic<int64_t> halvesRead_{0};
    std::atomic<int> runningThreads_{0};
    std::atomic<bool> stopRequested_{false};
    std::thread playbackThread_;
    std::thread captureThread_;
    std::vector<int16_t> playbackHalf_;
    std::vector<int16_t> captureHalf_;
    int stopTries_ = 100;
    int stopIntervalMs_ = 100;
};
