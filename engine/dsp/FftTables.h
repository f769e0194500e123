#pragma once

#include <cstdint>
#include <vector>

namespace dsp::fft {

// Sizes served by the table-driven transforms: complex sizes 2^kMinLog2 .. 2^kMaxLog2, that is
// real sizes 32 .. 32768 (the cabinet's 32768-point responses are the largest in use). Other sizes
// fall back to the twiddle recurrence, which needs no tables.
constexpr int kMinLog2 = 4;
constexpr int kMaxLog2 = 14;

// Twiddle factors and permutations, computed once in double precision and rounded to float. They
// are built while the program loads, so no transform call ever builds or allocates anything, and
// the transforms may run concurrently on several threads (the tables are only read).
struct FftTables {
    // Radix-4 pass that joins four transforms of h points (h = 2^log2h, h >= 4): for each run of
    // eight twiddle indices j, 48 floats: cos and sin of 2 pi j q / (4 h) for q = 1, 2, 3, each as
    // eight cosines then eight sines. Runs of eight serve the eight-lane passes directly and the
    // four-lane ones at offsets 0 and 4; h = 4 fills half of its one run.
    std::vector<float> radix4[kMaxLog2 + 1];
    // Radix-2 pass that joins two transforms of 4 points: cos and sin of 2 pi j / 8, j = 0..3.
    float radix2[8];
    // Split step of the real transform of N = 2^log2N points: cos and sin of 2 pi k / N for
    // k = 0 .. N/4 + 3 (padded so that vector loads near the end stay inside).
    std::vector<float> splitCos[kMaxLog2 + 2];
    std::vector<float> splitSin[kMaxLog2 + 2];
    // Bit-reversal permutation of 2^log2n complex points as (i, reversed i) pairs with i <
    // reversed.
    std::vector<uint16_t> swaps[kMaxLog2 + 1];
};

FftTables buildFftTables();

// The shared tables; built before main runs. Inline, so that a transform's few look-ups cost a
// load and a test each rather than a call.
inline const FftTables& fftTables()
{
    static const FftTables tables = buildFftTables();
    return tables;
}

// Puts the 2^log2n interleaved complex points into bit-reversed order, in place.
void bitReverse(float* data, int log2n);

} // namespace dsp::fft
