#include "host/app/vphoTapTempo.h"

#include <algorithm>
#include <iterator>

void vphoTapTempo::clearSeries()
{
    std::fill(std::begin(ring_), std::end(ring_), 0.0f);
    count_ = 0;
    index_ = 0;
}

bool vphoTapTempo::tap()
{
    const std::int64_t now = clock_->nowMicros();
    if (tapped_ && now <= lastTap_)
        return false;
    if (!tapped_) {
        // The first tap only starts the series.
        tapped_ = true;
        lastTap_ = now;
        return false;
    }
    const float bpm = 60.0f / (static_cast<float>(now - lastTap_) * 0.000001f);
    lastTap_ = now;
    if (!(bpm > 20.0f)) {
        clearSeries();
        return false;
    }
    ring_[index_] = bpm;
    index_ = (index_ + 1) % kRing;
    count_ = std::min(count_ + 1, kRing);
    if (count_ <= 3)
        return false;
    // Summed afresh each time: a running sum would drift with rounding.
    float sum = 0.0f;
    for (float t : ring_)
        sum += t;
    tempo_ = sum / static_cast<float>(count_);
    return true;
}
