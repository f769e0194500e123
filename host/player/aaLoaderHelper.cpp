#include "host/player/aaLoaderHelper.h"

#include <algorithm>
#include <new>

namespace player {

bool aaLoaderBuffer::reserve(std::int64_t n)
{
    if (n <= capacity_)
        return true;
    const std::int64_t wanted = capacity_ > 0 ? 2 * n : n;
    // A size no allocation can meet fails like an allocation that ran out.
    if (wanted > std::int64_t(1) << 40)
        return false;
    std::unique_ptr<float[]> grown(new (std::nothrow) float[static_cast<std::size_t>(wanted)]);
    if (!grown)
        return false;
    std::copy(samples_.get(), samples_.get() + capacity_, grown.get());
    std::fill(grown.get() + capacity_, grown.get() + wanted, 0.0f);
    samples_ = std::move(grown);
    capacity_ = wanted;
    return true;
}

void aaLoaderBuffer::clear()
{
    samples_.reset();
    capacity_ = 0;
}

bool aaLoaderHelper::prepare(int channels, std::int64_t lengthFrames)
{
    clear();
    estimate_ = std::max<std::int64_t>(0, lengthFrames);
    buffers_.resize(static_cast<std::size_t>(std::max(0, channels)));
    for (auto& buffer : buffers_)
        if (!buffer.reserve(std::max<std::int64_t>(1, estimate_)))
            return false;
    return true;
}

void aaLoaderHelper::clear()
{
    buffers_.clear();
    held_.store(0, std::memory_order_release);
    estimate_ = 0;
    std::lock_guard lock(overviewLock_);
    std::fill(overview_.begin(), overview_.end(), 0.0f);
    changedFirst_ = changedEnd_ = overviewEnd_ = 0;
}

bool aaLoaderHelper::append(const float* const* planes, int frames)
{
    if (frames <= 0 || buffers_.empty())
        return true;
    const std::int64_t first = held_.load(std::memory_order_relaxed);
    for (auto& buffer : buffers_)
        if (!buffer.reserve(first + frames))
            return false;
    for (std::size_t ch = 0; ch < buffers_.size(); ++ch)
        std::copy(planes[ch], planes[ch] + frames, buffers_[ch].data() + first);
    updateOverview(planes[0], first, frames);
    held_.store(first + frames, std::memory_order_release);
    return true;
}

bool aaLoaderHelper::readPlanar(float* const* destinations, std::int64_t first, int frames) const
{
    if (frames <= 0)
        return true;
    const std::int64_t held = framesHeld();
    // The part of the request that lies inside 0 .. held.
    const std::int64_t from = std::clamp<std::int64_t>(first, 0, held);
    const std::int64_t to = std::clamp<std::int64_t>(first + frames, 0, held);
    const auto lead = static_cast<int>(std::clamp<std::int64_t>(from - first, 0, frames));
    const auto inside = static_cast<int>(std::max<std::int64_t>(0, to - from));
    for (std::size_t ch = 0; ch < buffers_.size(); ++ch) {
        float* out = destinations[ch];
        if (out == nullptr)
            continue;
        std::fill(out, out + lead, 0.0f);
        if (inside > 0)
            std::copy(buffers_[ch].data() + from, buffers_[ch].data() + from + inside, out + lead);
        std::fill(out + lead + inside, out + frames, 0.0f);
    }
    return inside == frames;
}

bool aaLoaderHelper::readInterleaved(float* destination, std::int64_t first, int frames) const
{
    if (frames <= 0)
        return true;
    const int count = channels();
    const std::int64_t held = framesHeld();
    bool complete = true;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t at = first + i;
        const bool inside = at >= 0 && at < held;
        complete = complete && inside;
        for (int ch = 0; ch < count; ++ch)
            destination[std::size_t(i) * std::size_t(count) + std::size_t(ch)] =
                inside ? buffers_[std::size_t(ch)].data()[at] : 0.0f;
    }
    return complete;
}

void aaLoaderHelper::updateOverview(const float* channel0, std::int64_t first, int frames)
{
    // No estimate, no scale: points appear only for a known length.
    if (estimate_ <= 0)
        return;
    // 64-bit products: 10000 x a frame index overflows 32 bits within seconds.
    // The block's points run from its first frame's point to the next block's
    // first point, so consecutive blocks leave no gap; a file that decodes
    // past its estimate keeps writing the last point.
    const std::int64_t size = kOverviewSize;
    const auto i0 = static_cast<int>(std::min(size - 1, size * first / estimate_));
    const auto i1 = static_cast<int>(
        std::clamp(size * (first + frames) / estimate_, std::int64_t(i0) + 1, size));
    const int count = i1 - i0;
    std::lock_guard lock(overviewLock_);
    for (int k = 0; k < count; ++k)
        overview_[std::size_t(i0 + k)] = channel0[std::int64_t(k) * frames / count];
    overviewEnd_ = std::max(overviewEnd_, i1);
    markChanged(i0, i1);
}

void aaLoaderHelper::markChanged(int first, int end)
{
    if (changedEnd_ > changedFirst_) {
        changedFirst_ = std::min(changedFirst_, first);
        changedEnd_ = std::max(changedEnd_, end);
    } else {
        changedFirst_ = first;
        changedEnd_ = end;
    }
}

void aaLoaderHelper::finishOverview()
{
    std::lock_guard lock(overviewLock_);
    if (overviewEnd_ < kOverviewSize)
        markChanged(overviewEnd_, kOverviewSize);
    overviewEnd_ = kOverviewSize;
}

void aaLoaderHelper::overview(std::vector<float>& points, int& changedFirst, int& changedCount)
{
    std::lock_guard lock(overviewLock_);
    points.assign(overview_.begin(), overview_.end());
    changedFirst = changedFirst_;
    changedCount = changedEnd_ - changedFirst_;
    changedFirst_ = changedEnd_ = 0;
}

} // namespace player
