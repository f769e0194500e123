#pragma once

#include <cstdint>
#include <memory>

namespace Zq::Application::Graphics {

// An image of 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding. An
// empty bitmap (no pixels, 0 x 0) is what every failed read gives; drawing it
// draws nothing.
struct Bitmap {
    std::unique_ptr<std::uint32_t[]> pixels;
    int width = 0;
    int height = 0;
    // The source carried an alpha channel: drawing blends instead of copying.
    bool hasAlpha = false;

    bool empty() const { return !pixels; }
    void clear();
    // Makes a zero-filled width x height image. Refuses (leaving the bitmap
    // empty, returning false) a side past maxSide or a failed allocation.
    bool allocate(int width, int height);

    // Widest and tallest image accepted: far beyond any editor image, and
    // small enough that width x height x 4 is never near overflowing.
    static constexpr int maxSide = 16384;
};

} // namespace Zq::Application::Graphics
