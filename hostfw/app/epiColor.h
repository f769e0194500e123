#pragma once

#include "hostfw/core/epiText.h"

#include <cstdint>

// A colour of four bytes. The packed form holds alpha in bits 24-31, red in
// 16-23, green in 8-15 and blue in 0-7; the platform form is blue << 16 |
// green << 8 | red.
struct epiColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    epiColor() = default;
    explicit epiColor(std::uint32_t packed) { setPacked(packed); }

    void setPacked(std::uint32_t packed)
    {
        alpha = static_cast<std::uint8_t>(packed >> 24);
        red = static_cast<std::uint8_t>(packed >> 16);
        green = static_cast<std::uint8_t>(packed >> 8);
        blue = static_cast<std::uint8_t>(packed);
    }
    void setBlack() { setGrey(0); }
    void setWhite() { setGrey(255); }
    void setGrey(std::uint8_t value)
    {
        red = green = blue = value;
        alpha = 255;
    }
    std::uint32_t platformValue() const
    {
        return std::uint32_t(blue) << 16 | std::uint32_t(green) << 8 | red;
    }
    epiText getText() const
    {
        epiText text;
        text.format("%d,%d,%d", red, green, blue);
        return text;
    }
};
