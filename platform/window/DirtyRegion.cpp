#include "platform/window/DirtyRegion.h"

#include <algorithm>

namespace platform::window {

namespace {

// Edges packed as left | top << 16 | right << 32 | bottom << 48.
std::uint64_t pack(unsigned left, unsigned top, unsigned right, unsigned bottom)
{
    return std::uint64_t(left) | std::uint64_t(top) << 16 | std::uint64_t(right) << 32 |
           std::uint64_t(bottom) << 48;
}

unsigned field(std::uint64_t word, int index)
{
    return static_cast<unsigned>((word >> (16 * index)) & 0xFFFF);
}

} // namespace

DirtyRegion::DirtyRegion(int width, int height)
    : width_(std::clamp(width, 0, 0xFFFE)), height_(std::clamp(height, 0, 0xFFFE))
{
}

void DirtyRegion::add(const Rect& area) noexcept
{
    if (area.empty())
        return;
    // In 64 bits: a rectangle near the int range must not wrap.
    const auto clampX = [this](std::int64_t v) {
        return static_cast<unsigned>(std::clamp<std::int64_t>(v, 0, width_));
    };
    const auto clampY = [this](std::int64_t v) {
        return static_cast<unsigned>(std::clamp<std::int64_t>(v, 0, height_));
    };
    const unsigned left = clampX(area.x), right = clampX(std::int64_t(area.x) + area.width);
    const unsigned top = clampY(area.y), bottom = clampY(std::int64_t(area.y) + area.height);
    if (left >= right || top >= bottom)
        return;
    std::uint64_t seen = word_.load(std::memory_order_relaxed);
    std::uint64_t merged;
    do {
        merged = pack(std::min(left, field(seen, 0)), std::min(top, field(seen, 1)),
                      std::max(right, field(seen, 2)), std::max(bottom, field(seen, 3)));
    } while (!word_.compare_exchange_weak(seen, merged, std::memory_order_release,
                                          std::memory_order_relaxed));
}

Rect DirtyRegion::take() noexcept
{
    const std::uint64_t word = word_.exchange(emptyWord, std::memory_order_acquire);
    const int left = static_cast<int>(field(word, 0)), top = static_cast<int>(field(word, 1));
    const int right = static_cast<int>(field(word, 2)), bottom = static_cast<int>(field(word, 3));
    if (left >= right || top >= bottom)
        return {};
    return {left, top, right - left, bottom - top};
}

} // namespace platform::window
