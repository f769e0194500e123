#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

// Four floats per step for the block routines that declare the vector flag.
// GCC vector extensions compile to SSE on x86 and to NEON elsewhere, and every
// lane computes exactly what the one-sample form computes. Loads and stores go
// through memcpy: the engine's buffers are 16-byte aligned, so they become plain
// aligned moves, but a stray host pointer cannot fault.
namespace AudioEngine::FourLane {

using Floats = float __attribute__((vector_size(16)));
using Ints = std::int32_t __attribute__((vector_size(16)));

inline Floats load(const float* samples) noexcept
{
    Floats v;
    std::memcpy(&v, samples, sizeof v);
    return v;
}

inline void store(float* samples, Floats v) noexcept
{
    std::memcpy(samples, &v, sizeof v);
}

inline Floats splat(float x) noexcept
{
    return Floats{x, x, x, x};
}

// Lanes whose exponent field is zero (zeros and denormals) become +0.0, through
// a mask instead of a branch; the same rule as flushDenormal per lane.
inline Floats flushDenormals(Floats v) noexcept
{
    const Ints bits = std::bit_cast<Ints>(v);
    const Ints keep = (bits & 0x7F800000) != 0;
    return std::bit_cast<Floats>(bits & keep);
}

} // namespace AudioEngine::FourLane
