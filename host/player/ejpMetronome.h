#pragma once

// The metronome: clicks on the beat, mixed by the host's audio callback into
// the two output channels it is given (and nowhere else).
//
// Controls run on the UI thread and reach the audio thread through atomics:
// a tempo change made while enabled waits for the next click, a beat restart
// is taken at the start of the next mixClicks. The frame counter is 64-bit: a
// 32-bit count overflows after about 12 hours at 48 kHz.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace player {

class ejpMetronome {
public:
    // Builds the default click for 44100 Hz.
    ejpMetronome();
    virtual ~ejpMetronome();
    ejpMetronome(const ejpMetronome&) = delete;
    ejpMetronome& operator=(const ejpMetronome&) = delete;

    // Enabling restarts the beat: the next block starts with a click.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_.load(std::memory_order_acquire); }
    // Beats per minute; a tempo that is not finite and positive is ignored.
    // While enabled the change waits for the next click.
    void setTempo(float bpm);
    // The tempo in effect.
    float tempo() const { return tempo_.load(std::memory_order_acquire); }
    void setVolume(float v);
    float volume() const { return volume_.load(std::memory_order_relaxed); }
    // The rate the beat period is counted in; the click plays as it is.
    void setSampleRate(float hz);
    // The next mixClicks starts with a click. Any thread.
    void restartBeat() { restart_.store(true, std::memory_order_release); }
    // A click as 16-bit little-endian mono samples without header (sample /
    // 32767); false for fewer than two bytes. UI thread.
    bool loadClick(const void* samples, std::size_t bytes);
    // A copy of the click in use.
    std::vector<float> click() const;

    // "%1.1f": the tempo, or the pending one while a change waits.
    std::string tempoText() const;
    // "VOLUME %1.0f%%".
    std::string volumeText() const;

    // Audio thread: adds volume x the clicks due in these frames into left
    // and right. Never allocates, never waits.
    void mixClicks(float* left, float* right, int frames);

private:
    struct Click {
        std::vector<float> samples;
    };
    std::int64_t period() const;
    void addClick(const Click& click, float* left, float* right, int at, int frames);

    std::atomic<Click*> click_;
    std::atomic<bool> inMix_{false};
    std::atomic<bool> enabled_{false};
    std::atomic<bool> restart_{false};
    std::atomic<float> rate_{44100.0f};
    std::atomic<float> tempo_{60.0f};
    std::atomic<float> pending_{0.0f}; // 0: no change waiting
    std::atomic<float> volume_{1.0f};
    // Audio thread only.
    bool sounding_ = false;
    std::size_t readPosition_ = 0;
    std::int64_t counter_ = 0;
};

} // namespace player
