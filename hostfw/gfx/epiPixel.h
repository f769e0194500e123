#pragma once

#include <cstdint>

// cairo keeps premultiplied ARGB in native 32-bit words; the framework speaks
// straight ARGB (alpha << 24 | red << 16 | green << 8 | blue). These convert
// at the few places where straight values are read or written.
namespace epiPixel {

inline std::uint32_t channel(std::uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFFu;
}

inline std::uint32_t pack(std::uint32_t alpha, std::uint32_t red, std::uint32_t green,
                          std::uint32_t blue)
{
    return alpha << 24 | red << 16 | green << 8 | blue;
}

// A fully transparent pixel has no colour left to recover: it reads as 0.
inline std::uint32_t toStraight(std::uint32_t premultiplied)
{
    const std::uint32_t a = premultiplied >> 24;
    if (a == 255)
        return premultiplied;
    if (a == 0)
        return 0;
    auto un = [a](std::uint32_t c) {
        const std::uint32_t v = (c * 255 + a / 2) / a;
        return v > 255 ? 255u : v;
    };
    return pack(a, un(channel(premultiplied, 16)), un(channel(premultiplied, 8)),
                un(channel(premultiplied, 0)));
}

inline std::uint32_t toPremultiplied(std::uint32_t straight)
{
    const std::uint32_t a = straight >> 24;
    if (a == 255)
        return straight;
    auto pre = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return pack(a, pre(channel(straight, 16)), pre(channel(straight, 8)),
                pre(channel(straight, 0)));
}

} // namespace epiPixel
