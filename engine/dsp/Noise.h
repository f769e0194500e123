#pragma once

#include <cstddef>
#include <cstdint>

namespace utils {

// A process-wide table of tiny noise values (|v| <= 1e-20) that the mixer
// effects add where a decaying signal would otherwise sink into the slow
// subnormal range. Each kernel dispatch refills it from a generator whose state
// carries over from one fill to the next.
constexpr std::size_t kNoiseTableSize = 516;

// One step of the generator: state = state x 1103515245 + 12345 (mod 2^32), then
// ((state AND 0x3FFFFFFF) x 2^-29 - 1) x 1e-20, worked in double, rounded to float.
float nextNoise(std::uint32_t& state) noexcept;

// The current table: kNoiseTableSize floats, 16-byte aligned; zeros until the
// first fill. Read it afresh for each block: a fill writes the other of two
// tables and then makes it current, so a reader never sees a fill in progress.
const float* noiseTable() noexcept;

// Fills the table that is not current from the kept state and makes it
// current. Set-up time, serialised with other fills.
void refillNoiseTable();

// The generator state that the next fill starts from (0 at start-up).
std::uint32_t getNoiseState();
void setNoiseState(std::uint32_t state);

} // namespace utils
