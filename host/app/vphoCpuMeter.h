#pragma once

#include "host/app/vphoClock.h"

#include <atomic>
#include <cstdint>

// The share of a block's duration its processing took, averaged over the
// last 32 blocks (measured on the audio thread), and a display value that
// jumps up at once and falls slowly (polled on the user-interface thread).
// The two threads share the current load only.
class vphoCpuMeter {
public:
    static constexpr int kRing = 32;
    static constexpr int kHoldPolls = 5;
    static constexpr int kStablePolls = 200;

    explicit vphoCpuMeter(const vphoClock& clock) : clock_(&clock) {}

    // Resets everything; a block of frames at rate. A size or rate that is
    // not positive measures nothing (the load stays 0). Not while audio runs.
    void setBlock(int frames, int rate);
    // Audio thread: the start of a block, then its end.
    void startBlock() { blockStart_ = clock_->nowMicros(); }
    void measure();
    // The load drops to 0 (audio not running).
    void clear() { current_.store(0, std::memory_order_relaxed); }
    // User-interface thread: whether the display value changed; value is the
    // display value in every case.
    bool poll(int& value);

    int currentLoad() const { return current_.load(std::memory_order_relaxed); }

private:
    const vphoClock* clock_;
    std::atomic<int> current_{0};
    int display_ = 0;
    int hold_ = 0;
    int fallStep_ = 1;
    float blockMicros_ = 0.0f;
    float ring_[kRing] = {};
    int index_ = 0;
    float sum_ = 0.0f;
    int stable_ = 0;
    std::int64_t blockStart_ = 0;
};
