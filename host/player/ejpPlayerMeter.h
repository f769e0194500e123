#pragma once

// One level meter of the player: fast rise, a fall of one full unit per
// second at 44100 Hz, shown as a count of lit segments.
//
// update and fall run on the audio thread; segments on the UI thread.

#include <atomic>

namespace player {

class ejpPlayerMeter {
public:
    explicit ejpPlayerMeter(int segmentCount = 50) : count_(segmentCount) {}

    void setSegmentCount(int n);
    // A block of the player's samples: the largest value (not magnitude),
    // at most 0.99, gives the level 1.5 ln(1 + peak); a higher level is taken
    // at once, otherwise the level falls by frames x 0.000022675737.
    void update(const float* samples, int frames);
    // A block of silence.
    void fall(int frames) { update(nullptr, frames); }
    // The lit segments now; true when the count differs from the one this
    // call answered last time.
    bool segments(int& n);
    float level() const { return shown_.load(std::memory_order_relaxed); }

private:
    std::atomic<int> count_;
    std::atomic<int> lit_{0};
    std::atomic<float> shown_{0.0f};
    float held_ = 0.0f; // audio thread only
    int lastShown_ = 0; // UI thread only
};

} // namespace player
