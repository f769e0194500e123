#pragma once

// The practice player's engine: a decoded file played through the pitch and
// time effect at 50 % to 150 % tempo and -12 to +12 semitones, with volume,
// an A-B loop, a 5 ms fade out and in around every jump and tempo change,
// two level meters, and the metronome's beat restarted on every jump.
//
// Controls run on the UI thread, mix on the host's audio thread. They share
// atomics only: jumps, loop wraps and tempo changes are posted as pending and
// taken by the audio thread at the end of a fade-out; a stop is a handshake
// (playing cleared by the UI, acknowledged by the audio thread) bounded to
// about one second, and takes effect at once when the audio thread has not
// run since the start. Replacing the decoder or the effect (load, unload, a
// rate change) first waits for any mix in progress and keeps later ones out
// until done; mix itself never waits. Positions and lengths are 64-bit frames.

#include "host/player/ejpMetronome.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace player {

class ejpPlayerPrivate;

class ejpPlayer {
public:
    // metronome (may be null): the one whose beat every jump restarts.
    explicit ejpPlayer(ejpMetronome* metronome = nullptr);
    virtual ~ejpPlayer();
    ejpPlayer(const ejpPlayer&) = delete;
    ejpPlayer& operator=(const ejpPlayer&) = delete;

    // Recreates the effect for the rate; the fade becomes int(hz x 0.005)
    // frames (220 at 44100). Ignored when unchanged, not finite or not positive.
    void setSampleRate(float hz);
    float sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }

    // Stops, drops the current file and starts decoding path (two channels at
    // the player's rate) on the loader thread; false when it cannot be opened.
    bool load(const char* path);
    void unload();

    // Starting needs a length above 0.
    void setPlaying(bool playing);
    // Fractions of the length, clamped to 0 .. 1; a value that is not a
    // number is ignored.
    void setPositionFraction(double f);
    void setLoopStartFraction(double f);
    void setLoopEndFraction(double f);
    void setLoopEnabled(bool enabled) { loopEnabled_.store(enabled, std::memory_order_release); }
    void setVolume(float v);
    // t in -1 .. 1: speed 1 + t / 2, time factor 1 / speed.
    void setTempo(float t);
    // -12 .. +12: pitch factor 2^(-semitones / 12).
    void setPitch(float semitones);

    // 0 .. 1 while loading, exactly 1.0 once loaded (or with no file).
    float progress() const;
    bool isLoaded() const { return loaded_.load(std::memory_order_acquire); }
    // Decoding ended without completing: the file is not loaded.
    bool loadFailed() const { return loadFailed_.load(std::memory_order_acquire); }
    bool isPlaying() const { return playing_.load(std::memory_order_acquire); }
    bool isLoopEnabled() const { return loopEnabled_.load(std::memory_order_acquire); }
    double durationSeconds() const;
    double positionFraction() const;
    double loopStartFraction() const;
    double loopEndFraction() const;
    // Each answers its flag and clears it.
    bool takeEndReached() { return endReached_.exchange(false); }
    bool takeLoopWrapped() { return loopWrapped_.exchange(false); }
    // Whether the lit segment count changed since the last call.
    bool leftSegments(int& n);
    bool rightSegments(int& n);
    // The decoder's overview (see AudioArchiveBase::overview).
    bool overview(std::vector<float>& points, int& count, int& changedFirst, int& changedCount);

    std::string tempoText() const;  // "TEMPO %d%%"
    std::string pitchText() const;  // "PITCH %+1.1f"
    std::string volumeText() const; // "VOLUME %1.0f%%"

    int tempoPercent() const { return tempoPercent_.load(std::memory_order_relaxed); }
    float timeFactor() const { return s_.load(std::memory_order_acquire); }
    float pitchFactor() const { return p_.load(std::memory_order_acquire); }
    float volume() const { return volume_.load(std::memory_order_relaxed); }
    std::int64_t lengthFrames() const { return length_.load(std::memory_order_acquire); }
    std::int64_t sourcePosition() const { return source_.load(std::memory_order_acquire); }
    std::int64_t outputPosition() const { return output_.load(std::memory_order_acquire); }
    std::int64_t loopStart() const { return loopA_.load(std::memory_order_acquire); }
    std::int64_t loopEnd() const { return loopB_.load(std::memory_order_acquire); }
    int fadeLength() const { return fadeLength_; }

    // Audio thread: adds the player's frames into left and right. Never
    // allocates, never waits.
    void mix(float* left, float* right, int frames);

private:
    void mixPiece(float* left, float* right, int frames);
    void render(float* left, float* right, int frames);
    void startFadeOut();
    void completeFadeOut();
    void applyFactors();
    void loaderFinished(float progress);
    // Waits for any mix in progress and keeps later ones out (UI thread).
    void blockAudio();
    void unblockAudio() { blocked_.store(false); }
    void resetFade();

    ejpMetronome* metronome_;
    std::unique_ptr<ejpPlayerPrivate> d_;
    std::atomic<std::int64_t> length_{0};
    std::atomic<float> volume_{1.0f};
    std::atomic<float> s_{1.0f};
    std::atomic<float> p_{1.0f};
    std::atomic<int> tempoPercent_{100};
    std::atomic<float> semitones_{0.0f};
    std::atomic<std::int64_t> source_{0};
    std::atomic<std::int64_t> output_{0};
    std::atomic<std::int64_t> loopA_{0}, loopB_{0};
    std::atomic<bool> loopEnabled_{false}, playing_{false}, loaded_{false}, loadFailed_{false};
    // Fade state: the audio thread's, set up by the UI only while audio is blocked.
    float fadeStep_ = 1.0f / 220.0f;
    bool fading_ = false;
    bool fadeIn_ = false;
    float fadeGain_ = 1.0f;
    int fadeLength_ = 220;
    // The factors the effect was last given (audio thread); NaN: give them again.
    float effectS_ = 1.0f, effectP_ = 1.0f;
    std::atomic<bool> jumpPending_{false};
    std::atomic<std::int64_t> jumpTarget_{0}; // source frames
    std::atomic<bool> endReached_{false}, loopWrapped_{false};
    std::atomic<bool> timePending_{false};
    std::atomic<float> timePendingValue_{1.0f};
    std::atomic<bool> audioSeen_{false}, stopAcknowledged_{false};
    std::atomic<float> sampleRate_{0.0f};
    std::atomic<bool> blocked_{false}, inMix_{false};
};

} // namespace player
