#pragma once

#include <atomic>
#include <cstdint>

#include "platform/window/Events.h"

namespace platform::window {

// The area waiting to be repainted, as one bounding rectangle in a single
// atomic word, so any thread can add to it without a lock, an allocation or
// a wait, and the pumping thread takes it whole. Coordinates are clamped to
// the window, which keeps each edge within 16 bits.
class DirtyRegion {
public:
    DirtyRegion(int width, int height);

    void add(const Rect& area) noexcept;
    // The area so far (empty when none), leaving the region empty.
    Rect take() noexcept;

private:
    static constexpr std::uint64_t emptyWord =
        0x0000'0000'FFFF'FFFFull; // left, top past right, bottom

    int width_;
    int height_;
    std::atomic<std::uint64_t> word_{emptyWord};
};

} // namespace platform::window
