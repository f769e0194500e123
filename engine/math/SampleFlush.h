#pragma once

#include <bit>
#include <cstdint>

namespace AudioEngine::AudioMath {

// The value a recursive filter keeps of a computed sample: +0.0 for a zero or
// subnormal float (exponent field all zeros), so that no state ever decays
// through the slow subnormal range; and +0.0 for an infinity or a NaN (exponent
// field all ones) too, so that one bad input sample is forgotten once it has left
// the filter's memory instead of poisoning its state for good. Every other value
// passes unchanged. One subtraction and one comparison.
inline float flushedSample(float y) noexcept
{
    const std::uint32_t exponent = std::bit_cast<std::uint32_t>(y) & 0x7F800000u;
    // Normal exponents are 0x00800000 .. 0x7F000000; both ends wrap out of range.
    return exponent - 0x00800000u < 0x7F000000u ? y : 0.0f;
}

} // namespace AudioEngine::AudioMath
