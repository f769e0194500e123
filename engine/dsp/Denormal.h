#pragma once

#include <cstdint>
#include <cstring>

namespace dsp {

// A float whose exponent bits are all zero (a subnormal, or a signed zero) becomes +0.0. Done in
// software so that no code depends on the processor's flush modes, which the host owns.
inline float flushDenormal(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x7f800000u) == 0 ? 0.0f : value;
}

} // namespace dsp
