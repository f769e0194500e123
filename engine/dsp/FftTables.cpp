#include "engine/dsp/FftTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace dsp::fft {
namespace {

constexpr int kSwapTileLog2 = 2;

unsigned reverseBits(unsigned value, int bits)
{
    unsigned reversed = 0;
    for (int bit = 0; bit < bits; ++bit)
        reversed |= ((value >> bit) & 1u) << (bits - 1 - bit);
    return reversed;
}

} // namespace

FftTables buildFftTables()
{
    FftTables tables;
    const double twoPi = 2.0 * std::numbers::pi;

    for (int log2h = 2; log2h + 2 <= kMaxLog2; ++log2h) {
        const int h = 1 << log2h;
        std::vector<float>& table = tables.radix4[log2h];
        table.resize(static_cast<size_t>(std::max(h, 8)) * 6);
        for (int j = 0; j < h; ++j) {
            float* run = table.data() + (j / 8) * 48 + (j % 8);
            for (int q = 1; q <= 3; ++q) {
                const double angle = twoPi * j * q / (4.0 * h);
                run[(q - 1) * 16] = static_cast<float>(std::cos(angle));
                run[(q - 1) * 16 + 8] = static_cast<float>(std::sin(angle));
            }
        }
    }

    for (int j = 0; j < 4; ++j) {
        tables.radix2[j] = static_cast<float>(std::cos(twoPi * j / 8.0));
        tables.radix2[4 + j] = static_cast<float>(std::sin(twoPi * j / 8.0));
    }

    for (int log2N = kMinLog2 + 1; log2N <= kMaxLog2 + 1; ++log2N) {
        const int N = 1 << log2N;
        const int count = N / 4 + 4;
        tables.splitCos[log2N].resize(count);
        tables.splitSin[log2N].resize(count);
        for (int k = 0; k < count; ++k) {
            tables.splitCos[log2N][k] = static_cast<float>(std::cos(twoPi * k / N));
            tables.splitSin[log2N][k] = static_cast<float>(std::sin(twoPi * k / N));
        }
    }

    // Pairs in tiled order: index i splits into top bits a, middle bits b and low bits c (q bits
    // each at the ends), and its reverse is (rev c, rev b, rev a). Swapping tile b with tile rev b
    // touches 2^q short rows on each side, so a few cache lines serve many swaps; in plain index
    // order the large power-of-two strides would keep evicting each other.
    for (int log2n = kMinLog2; log2n <= kMaxLog2; ++log2n) {
        const int q = std::min(kSwapTileLog2, log2n / 2);
        const int mid = log2n - 2 * q;
        std::vector<uint16_t>& swaps = tables.swaps[log2n];
        for (unsigned b = 0; b < (1u << mid); ++b) {
            const unsigned rb = reverseBits(b, mid);
            if (rb < b)
                continue;
            for (unsigned a = 0; a < (1u << q); ++a) {
                for (unsigned c = 0; c < (1u << q); ++c) {
                    const unsigned i = (a << (mid + q)) | (b << q) | c;
                    const unsigned j =
                        (reverseBits(c, q) << (mid + q)) | (rb << q) | reverseBits(a, q);
                    if (b != rb || i < j) {
                        swaps.push_back(static_cast<uint16_t>(i));
                        swaps.push_back(static_cast<uint16_t>(j));
                    }
                }
            }
        }
    }
    return tables;
}

void bitReverse(float* data, int log2n)
{
    const std::vector<uint16_t>& swaps = fftTables().swaps[log2n];
    const uint16_t* pair = swaps.data();
    const uint16_t* end = pair + swaps.size();
    for (; pair != end; pair += 2) {
        float* a = data + 2 * pair[0];
        float* b = data + 2 * pair[1];
        uint64_t va;
        uint64_t vb;
        std::memcpy(&va, a, 8);
        std::memcpy(&vb, b, 8);
        std::memcpy(a, &vb, 8);
        std::memcpy(b, &va, 8);
    }
}

namespace {
// Forces the build at load time, before any audio or preparation thread can call a transform.
[[maybe_unused]] const FftTables& builtAtLoad = fftTables();
} // namespace

} // namespace dsp::fft
