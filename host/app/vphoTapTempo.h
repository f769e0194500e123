#pragma once

#include "host/app/vphoClock.h"

#include <cstdint>

// Tempo from taps on the user-interface thread: the mean of up to the last 16
// intervals, given from the fifth tap of a series on. A pause of 3 s or more
// (20 BPM or less) starts a new series.
class vphoTapTempo {
public:
    static constexpr int kRing = 16;

    explicit vphoTapTempo(const vphoClock& clock) : clock_(&clock) {}

    // Whether a tempo is available after this tap. A tap in the same
    // microsecond as the last one is ignored (it measures no interval).
    bool tap();
    float getTempo() const { return tempo_; }

private:
    void clearSeries();

    const vphoClock* clock_;
    float ring_[kRing] = {};
    int count_ = 0;
    int index_ = 0;
    float tempo_ = 120.0f;
    std::int64_t lastTap_ = 0;
    bool tapped_ = false;
};
