#pragma once

#include <X11/Xlib.h>

#include <bit>
#include <cstdint>

namespace platform::window {

// Where a channel's 8 bits go under a visual's mask.
inline unsigned long placeChannel(unsigned channel, unsigned long mask)
{
    if (!mask)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const unsigned long scaled =
        bits >= 8 ? static_cast<unsigned long>(channel) << (bits - 8) : channel >> (8 - bits);
    return (scaled << shift) & mask;
}

// A 0x00RRGGBB word as the visual's pixel value.
inline unsigned long visualPixel(std::uint32_t rgb, const Visual& visual)
{
    return placeChannel((rgb >> 16) & 0xFF, visual.red_mask) |
           placeChannel((rgb >> 8) & 0xFF, visual.green_mask) |
           placeChannel(rgb & 0xFF, visual.blue_mask);
}

// The visual takes 0x00RRGGBB words as they are.
inline bool visualTakesWords(const Visual& visual, int depth)
{
    return visual.c_class == TrueColor && visual.red_mask == 0xFF0000 &&
           visual.green_mask == 0xFF00 && visual.blue_mask == 0xFF && (depth == 24 || depth == 32);
}

} // namespace platform::window
