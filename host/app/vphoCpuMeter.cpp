#include "host/app/vphoCpuMeter.h"

#include <algorithm>
#include <iterator>

void vphoCpuMeter::setBlock(int frames, int rate)
{
    current_.store(0, std::memory_order_relaxed);
    display_ = 0;
    hold_ = 0;
    fallStep_ = 1;
    std::fill(std::begin(ring_), std::end(ring_), 0.0f);
    index_ = 0;
    sum_ = 0.0f;
    stable_ = 0;
    blockStart_ = 0;
    blockMicros_ = frames > 0 && rate > 0
                       ? static_cast<float>(static_cast<double>(frames) * 1.0e6 / rate)
                       : 0.0f;
}

void vphoCpuMeter::measure()
{
    if (!(blockMicros_ > 0.0f))
        return;
    const auto elapsed =
        static_cast<float>(std::max<std::int64_t>(clock_->nowMicros() - blockStart_, 0));
    const float sample = std::min(elapsed / blockMicros_ * 100.0f, 100.0f);
    index_ = (index_ + 1) % kRing;
    sum_ += sample - ring_[index_];
    ring_[index_] = sample;
    // The running sum drifts by rounding; it never goes below what it sums.
    sum_ = std::max(sum_, 0.0f);
    current_.store(static_cast<int>(sum_ / kRing), std::memory_order_relaxed);
}

bool vphoCpuMeter::poll(int& value)
{
    const int c = current_.load(std::memory_order_relaxed);
    bool changed = false;
    if (c == display_) {
    } else if (c > display_ + 1) {
        display_ = c;
        fallStep_ = 1;
        hold_ = kHoldPolls;
        changed = true;
    } else if (c < display_ - 1) {
        if (hold_ > 0) {
            --hold_;
        } else {
            display_ -= fallStep_;
            ++fallStep_;
            if (display_ < c) {
                display_ = c;
                fallStep_ = 1;
            }
            hold_ = kHoldPolls;
            changed = true;
        }
    } else if (++stable_ > kStablePolls) {
        stable_ = 0;
        display_ = c;
        hold_ = kHoldPolls;
        changed = true;
    }
    value = display_;
    return changed;
}
