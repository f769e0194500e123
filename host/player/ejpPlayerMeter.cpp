#include "host/player/ejpPlayerMeter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace player {

void ejpPlayerMeter::setSegmentCount(int n)
{
    count_.store(std::max(1, n), std::memory_order_relaxed);
}

void ejpPlayerMeter::update(const float* samples, int frames)
{
    float peak = 0.0f;
    if (samples != nullptr && frames > 0) {
        peak = -std::numeric_limits<float>::infinity();
        for (int i = 0; i < frames; ++i)
            if (samples[i] > peak) // a NaN never wins
                peak = samples[i];
        peak = std::min(peak, 0.99f);
    }
    const float level = 1.5f * std::log1p(peak);
    if (level > held_) {
        held_ = level;
    } else if (held_ > 0.0f) {
        held_ = std::max(0.0f, held_ - float(std::max(0, frames)) * 0.000022675737f);
    }
    // The shown level follows the held one down as well, or a meter would
    // never fall.
    shown_.store(held_, std::memory_order_relaxed);
    const int count = count_.load(std::memory_order_relaxed);
    lit_.store(std::min(count, static_cast<int>(float(count) * held_)), std::memory_order_relaxed);
}

bool ejpPlayerMeter::segments(int& n)
{
    n = lit_.load(std::memory_order_relaxed);
    const bool changed = n != lastShown_;
    lastShown_ = n;
    return changed;
}

} // namespace player
