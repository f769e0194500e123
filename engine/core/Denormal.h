#pragma once

#include <bit>
#include <cstdint>

namespace AudioEngine {

// A float whose exponent field is zero (either zero or a denormal) becomes +0.0.
// Done in software on every computed sample and state value, so that the rig
// never relies on the processor's flush-to-zero or denormals-are-zero modes.
inline void flushDenormal(float& value) noexcept
{
    if ((std::bit_cast<std::uint32_t>(value) & 0x7F800000u) == 0)
        value = 0.0f;
}

inline float flushedDenormal(float value) noexcept
{
    flushDenormal(value);
    return value;
}

} // namespace AudioEngine
