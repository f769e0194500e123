#include "engine/dsp/TableFftAvx.h"

#include "engine/dsp/FftTables.h"

#include <cstddef>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define RIG_DSP_AVX_FFT 1
#endif

namespace dsp::fft {

#if RIG_DSP_AVX_FFT

// Compiled for AVX2 here only; the rest of the engine keeps the baseline instruction set. No FMA:
// every product and sum rounds as in the four-lane passes, so both give the same bits.
#pragma GCC push_options
#pragma GCC target("avx2")

namespace avx {
namespace {

// Layout between the first and the last pass: runs of eight complex points as their eight real
// parts followed by their eight imaginary parts. The passes and their order are those of the
// four-lane transform (decimation in time on bit-reversed input, radix 4 with one radix-2 step
// when the pass count is odd); only the width changes, and the first two passes and the
// conversion back to interleaved pairs are folded into their neighbours to save trips through
// memory.

inline __m256 signMask(bool s0, bool s1, bool s2, bool s3)
{
    const float a = s0 ? -0.0f : 0.0f;
    const float b = s1 ? -0.0f : 0.0f;
    const float c = s2 ? -0.0f : 0.0f;
    const float d = s3 ? -0.0f : 0.0f;
    return _mm256_setr_ps(a, b, c, d, a, b, c, d);
}

// The same four floats in both lanes.
inline __m256 broadcast(const float* four)
{
    const __m128 v = _mm_loadu_ps(four);
    return _mm256_set_m128(v, v);
}

template <int Direction>
inline void multiply(__m256 xr, __m256 xi, __m256 wr, __m256 wi, __m256& outR, __m256& outI)
{
    if constexpr (Direction > 0) {
        outR = _mm256_sub_ps(_mm256_mul_ps(xr, wr), _mm256_mul_ps(xi, wi));
        outI = _mm256_add_ps(_mm256_mul_ps(xr, wi), _mm256_mul_ps(xi, wr));
    } else {
        outR = _mm256_add_ps(_mm256_mul_ps(xr, wr), _mm256_mul_ps(xi, wi));
        outI = _mm256_sub_ps(_mm256_mul_ps(xi, wr), _mm256_mul_ps(xr, wi));
    }
}

// The 4-point transforms of two runs of four interleaved points, one per 128-bit lane: run a in
// the low lane, run b in the high one. Same arithmetic as the four-lane first pass.
template <int Direction>
inline void fourPoint(const float* a, const float* b, __m256& re, __m256& im)
{
    const __m256 alternate = signMask(false, true, false, true);
    const __m256 reSign =
        Direction > 0 ? signMask(false, true, true, false) : signMask(false, false, true, true);
    const __m256 imSign =
        Direction > 0 ? signMask(false, false, true, true) : signMask(false, true, true, false);
    const __m256 lo = _mm256_loadu2_m128(b, a);
    const __m256 hi = _mm256_loadu2_m128(b + 4, a + 4);
    const __m256 r = _mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
    const __m256 i = _mm256_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
    const __m256 reV =
        _mm256_add_ps(_mm256_shuffle_ps(r, r, _MM_SHUFFLE(2, 2, 0, 0)),
                      _mm256_xor_ps(_mm256_shuffle_ps(r, r, _MM_SHUFFLE(3, 3, 1, 1)), alternate));
    const __m256 imV =
        _mm256_add_ps(_mm256_shuffle_ps(i, i, _MM_SHUFFLE(2, 2, 0, 0)),
                      _mm256_xor_ps(_mm256_shuffle_ps(i, i, _MM_SHUFFLE(3, 3, 1, 1)), alternate));
    const __m256 pqRe = _mm256_shuffle_ps(reV, reV, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 pqIm = _mm256_shuffle_ps(imV, imV, _MM_SHUFFLE(1, 0, 1, 0));
    __m256 rtRe = _mm256_shuffle_ps(reV, imV, _MM_SHUFFLE(3, 3, 2, 2));
    rtRe = _mm256_shuffle_ps(rtRe, rtRe, _MM_SHUFFLE(3, 1, 2, 0));
    __m256 rtIm = _mm256_shuffle_ps(imV, reV, _MM_SHUFFLE(3, 3, 2, 2));
    rtIm = _mm256_shuffle_ps(rtIm, rtIm, _MM_SHUFFLE(3, 1, 2, 0));
    re = _mm256_add_ps(pqRe, _mm256_xor_ps(rtRe, reSign));
    im = _mm256_add_ps(pqIm, _mm256_xor_ps(rtIm, imSign));
}

// Stores two runs of four points per register (block A in the low lanes, block B in the high
// ones) as two runs of eight: A takes the low lanes of first and second, B the high lanes.
inline void storeEightPairs(float* a, float* b, __m256 firstRe, __m256 firstIm, __m256 secondRe,
                            __m256 secondIm)
{
    _mm256_storeu_ps(a, _mm256_permute2f128_ps(firstRe, secondRe, 0x20));
    _mm256_storeu_ps(a + 8, _mm256_permute2f128_ps(firstIm, secondIm, 0x20));
    _mm256_storeu_ps(b, _mm256_permute2f128_ps(firstRe, secondRe, 0x31));
    _mm256_storeu_ps(b + 8, _mm256_permute2f128_ps(firstIm, secondIm, 0x31));
}

// Radix 4, then radix 2 joining pairs of 4-point transforms: 8-point transforms, two per step
// (blocks A and B of 16 floats, one per lane), from bit-reversed runs at srcA and srcB.
// The steps hold table pointers, never vectors: a vector member would have the implicit
// constructor pass it outside the code compiled for AVX2.
template <int Direction> struct EightStep {
    const float* table = fftTables().radix2;
    static constexpr int kPoints = 8;

    void operator()(const float* srcA, const float* srcB, float* dstA, float* dstB) const
    {
        const __m256 wr = broadcast(table);
        const __m256 wi = broadcast(table + 4);
        __m256 x0r, x0i, x1r, x1i;
        fourPoint<Direction>(srcA, srcB, x0r, x0i);
        fourPoint<Direction>(srcA + 8, srcB + 8, x1r, x1i);
        __m256 tr, ti;
        multiply<Direction>(x1r, x1i, wr, wi, tr, ti);
        storeEightPairs(dstA, dstB, _mm256_add_ps(x0r, tr), _mm256_add_ps(x0i, ti),
                        _mm256_sub_ps(x0r, tr), _mm256_sub_ps(x0i, ti));
    }
};

// The radix-4 butterfly after the twiddles: x0 and the twiddled a1 (from offset 2h), a2 (from h)
// and a3 (from 3h) give the outputs for offsets 0, h, 2h, 3h.
template <int Direction>
inline void butterfly(__m256 x0r, __m256 x0i, __m256 a1r, __m256 a1i, __m256 a2r, __m256 a2i,
                      __m256 a3r, __m256 a3i, __m256 (&outR)[4], __m256 (&outI)[4])
{
    const __m256 pr = _mm256_add_ps(x0r, a2r);
    const __m256 pi = _mm256_add_ps(x0i, a2i);
    const __m256 qr = _mm256_sub_ps(x0r, a2r);
    const __m256 qi = _mm256_sub_ps(x0i, a2i);
    const __m256 rr = _mm256_add_ps(a1r, a3r);
    const __m256 ri = _mm256_add_ps(a1i, a3i);
    const __m256 tr = _mm256_sub_ps(a1r, a3r);
    const __m256 ti = _mm256_sub_ps(a1i, a3i);
    outR[0] = _mm256_add_ps(pr, rr);
    outI[0] = _mm256_add_ps(pi, ri);
    outR[2] = _mm256_sub_ps(pr, rr);
    outI[2] = _mm256_sub_ps(pi, ri);
    if constexpr (Direction > 0) {
        outR[1] = _mm256_sub_ps(qr, ti);
        outI[1] = _mm256_add_ps(qi, tr);
        outR[3] = _mm256_add_ps(qr, ti);
        outI[3] = _mm256_sub_ps(qi, tr);
    } else {
        outR[1] = _mm256_add_ps(qr, ti);
        outI[1] = _mm256_sub_ps(qi, tr);
        outR[3] = _mm256_sub_ps(qr, ti);
        outI[3] = _mm256_add_ps(qi, tr);
    }
}

// Radix 4, then radix 4 joining four 4-point transforms: 16-point transforms, two per step
// (blocks A and B of 32 floats, one per lane), from bit-reversed runs at srcA and srcB.
template <int Direction> struct SixteenStep {
    const float* tw = fftTables().radix4[2].data();
    static constexpr int kPoints = 16;

    void operator()(const float* srcA, const float* srcB, float* dstA, float* dstB) const
    {
        const __m256 w1r = broadcast(tw);
        const __m256 w1i = broadcast(tw + 8);
        const __m256 w2r = broadcast(tw + 16);
        const __m256 w2i = broadcast(tw + 24);
        const __m256 w3r = broadcast(tw + 32);
        const __m256 w3i = broadcast(tw + 40);
        __m256 x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
        fourPoint<Direction>(srcA, srcB, x0r, x0i);
        fourPoint<Direction>(srcA + 8, srcB + 8, x1r, x1i);
        fourPoint<Direction>(srcA + 16, srcB + 16, x2r, x2i);
        fourPoint<Direction>(srcA + 24, srcB + 24, x3r, x3i);
        __m256 a1r, a1i, a2r, a2i, a3r, a3i;
        multiply<Direction>(x2r, x2i, w1r, w1i, a1r, a1i);
        multiply<Direction>(x1r, x1i, w2r, w2i, a2r, a2i);
        multiply<Direction>(x3r, x3i, w3r, w3i, a3r, a3i);
        __m256 outR[4];
        __m256 outI[4];
        butterfly<Direction>(x0r, x0i, a1r, a1i, a2r, a2i, a3r, a3i, outR, outI);
        storeEightPairs(dstA, dstB, outR[0], outI[0], outR[1], outI[1]);
        storeEightPairs(dstA + 16, dstB + 16, outR[2], outI[2], outR[3], outI[3]);
    }
};

constexpr int kTileLog2 = 4;
constexpr int kTile = 1 << kTileLog2;

unsigned reverseBits(unsigned value, int bits)
{
    unsigned reversed = 0;
    for (int bit = 0; bit < bits; ++bit)
        reversed |= ((value >> bit) & 1u) << (bits - 1 - bit);
    return reversed;
}

constexpr unsigned kReverse4[kTile] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};

// Copies a tile of 16 rows of 16 points (row r at points r * rowStride) into `out`, transposed and
// with its rows taken in bit-reversed order: out[u][c] = tile[reverse c][u]. Point by point a
// complex pair is one double, so the transposition is one of 4 x 4 doubles at a time.
void gatherTile(const float* tile, std::size_t rowStride, double* out)
{
    const double* in = reinterpret_cast<const double*>(tile);
    for (int c0 = 0; c0 < kTile; c0 += 4) {
        const double* rows[4];
        for (int k = 0; k < 4; ++k)
            rows[k] = in + kReverse4[c0 + k] * rowStride;
        for (int u0 = 0; u0 < kTile; u0 += 4) {
            const __m256d r0 = _mm256_loadu_pd(rows[0] + u0);
            const __m256d r1 = _mm256_loadu_pd(rows[1] + u0);
            const __m256d r2 = _mm256_loadu_pd(rows[2] + u0);
            const __m256d r3 = _mm256_loadu_pd(rows[3] + u0);
            const __m256d t0 = _mm256_unpacklo_pd(r0, r1);
            const __m256d t1 = _mm256_unpackhi_pd(r0, r1);
            const __m256d t2 = _mm256_unpacklo_pd(r2, r3);
            const __m256d t3 = _mm256_unpackhi_pd(r2, r3);
            double* column = out + u0 * kTile + c0;
            _mm256_storeu_pd(column, _mm256_permute2f128_pd(t0, t2, 0x20));
            _mm256_storeu_pd(column + kTile, _mm256_permute2f128_pd(t1, t3, 0x20));
            _mm256_storeu_pd(column + 2 * kTile, _mm256_permute2f128_pd(t0, t2, 0x31));
            _mm256_storeu_pd(column + 3 * kTile, _mm256_permute2f128_pd(t1, t3, 0x31));
        }
    }
}

// Writes the first pass of the 16 output rows of a tile from its gathered inputs: output row a
// (points a * rowStride .. + 15) reads gathered row reverse a.
template <class Step>
void firstPassOfTile(const double* gathered, float* tile, std::size_t rowStride, const Step& step)
{
    const float* in = reinterpret_cast<const float*>(gathered);
    constexpr int kRowFloats = 2 * kTile;
    if constexpr (Step::kPoints == kTile) {
        for (int a = 0; a < kTile; a += 2)
            step(in + kReverse4[a] * kRowFloats, in + kReverse4[a + 1] * kRowFloats,
                 tile + 2 * a * rowStride, tile + 2 * (a + 1) * rowStride);
    } else {
        for (int a = 0; a < kTile; ++a) {
            const float* src = in + kReverse4[a] * kRowFloats;
            float* dst = tile + 2 * a * rowStride;
            step(src, src + kTile, dst, dst + kTile);
        }
    }
}

// The bit reversal folded into the first pass. Index i splits into its top 4 bits a, middle bits
// b and low 4 bits c, and its reverse is (rev c, rev b, rev a): the tile of middle value b (16
// rows of 16 points) takes its inputs from the tile of rev b only. Both tiles of a pair are
// gathered before either is written, so the pass works in place with 4 kB of stack.
template <class Step> void reversedFirstPass(float* data, int log2n, const Step& step)
{
    const int mid = log2n - 2 * kTileLog2;
    const std::size_t rowStride = std::size_t(1) << (mid + kTileLog2);
    alignas(32) double first[kTile * kTile];
    alignas(32) double second[kTile * kTile];
    for (unsigned b = 0; b < (1u << mid); ++b) {
        const unsigned rb = reverseBits(b, mid);
        if (rb < b)
            continue;
        float* tileB = data + 2 * kTile * b;
        float* tileR = data + 2 * kTile * rb;
        gatherTile(tileR, rowStride, first);
        if (rb != b)
            gatherTile(tileB, rowStride, second);
        firstPassOfTile(first, tileB, rowStride, step);
        if (rb != b)
            firstPassOfTile(second, tileR, rowStride, step);
    }
}

// Writes a run of eight points back as interleaved pairs.
inline void storeInterleaved(float* p, __m256 re, __m256 im)
{
    const __m256 lo = _mm256_unpacklo_ps(re, im);
    const __m256 hi = _mm256_unpackhi_ps(re, im);
    _mm256_storeu_ps(p, _mm256_permute2f128_ps(lo, hi, 0x20));
    _mm256_storeu_ps(p + 8, _mm256_permute2f128_ps(lo, hi, 0x31));
}

// Joins four transforms of h points (h >= 8); the last pass writes interleaved pairs.
template <int Direction, bool Last> void radix4Pass(float* data, int n, int log2h)
{
    const int h = 1 << log2h;
    const float* table = fftTables().radix4[log2h].data();
    for (float* group = data; group != data + 2 * n; group += 8 * h) {
        const float* tw = table;
        for (float* p0 = group; p0 != group + 2 * h; p0 += 16, tw += 48) {
            float* p1 = p0 + 2 * h;
            float* p2 = p0 + 4 * h;
            float* p3 = p0 + 6 * h;
            __m256 a1r, a1i, a2r, a2i, a3r, a3i;
            multiply<Direction>(_mm256_loadu_ps(p2), _mm256_loadu_ps(p2 + 8), _mm256_loadu_ps(tw),
                                _mm256_loadu_ps(tw + 8), a1r, a1i);
            multiply<Direction>(_mm256_loadu_ps(p1), _mm256_loadu_ps(p1 + 8),
                                _mm256_loadu_ps(tw + 16), _mm256_loadu_ps(tw + 24), a2r, a2i);
            multiply<Direction>(_mm256_loadu_ps(p3), _mm256_loadu_ps(p3 + 8),
                                _mm256_loadu_ps(tw + 32), _mm256_loadu_ps(tw + 40), a3r, a3i);
            __m256 outR[4];
            __m256 outI[4];
            butterfly<Direction>(_mm256_loadu_ps(p0), _mm256_loadu_ps(p0 + 8), a1r, a1i, a2r, a2i,
                                 a3r, a3i, outR, outI);
            float* out[4] = {p0, p1, p2, p3};
            for (int q = 0; q < 4; ++q) {
                if constexpr (Last) {
                    storeInterleaved(out[q], outR[q], outI[q]);
                } else {
                    _mm256_storeu_ps(out[q], outR[q]);
                    _mm256_storeu_ps(out[q] + 8, outI[q]);
                }
            }
        }
    }
}

// Small sizes (2^log2n points, log2n < 8): the whole input in bit-reversed order into `out`, by 4 x
// 4 transpositions of whole tiles. Index i splits into its top 2 bits a, middle bits b and low 2
// bits c; out[(a, b, c)] = data[(rev c, rev b, rev a)], so each 4 x 4 tile of out is the transposed
// tile rev b of data with its rows taken in bit-reversed order.
void gatherReversed(const float* data, int log2n, double* out)
{
    constexpr unsigned kReverse2[4] = {0, 2, 1, 3};
    const int mid = log2n - 4;
    const std::size_t rowStride = std::size_t(4) << mid;
    const double* in = reinterpret_cast<const double*>(data);
    for (unsigned b = 0; b < (1u << mid); ++b) {
        const double* tile = in + 4 * reverseBits(b, mid);
        const __m256d r0 = _mm256_loadu_pd(tile + kReverse2[0] * rowStride);
        const __m256d r1 = _mm256_loadu_pd(tile + kReverse2[1] * rowStride);
        const __m256d r2 = _mm256_loadu_pd(tile + kReverse2[2] * rowStride);
        const __m256d r3 = _mm256_loadu_pd(tile + kReverse2[3] * rowStride);
        const __m256d t0 = _mm256_unpacklo_pd(r0, r1);
        const __m256d t1 = _mm256_unpackhi_pd(r0, r1);
        const __m256d t2 = _mm256_unpacklo_pd(r2, r3);
        const __m256d t3 = _mm256_unpackhi_pd(r2, r3);
        double* row = out + 4 * b;
        _mm256_storeu_pd(row + kReverse2[0] * rowStride, _mm256_permute2f128_pd(t0, t2, 0x20));
        _mm256_storeu_pd(row + kReverse2[1] * rowStride, _mm256_permute2f128_pd(t1, t3, 0x20));
        _mm256_storeu_pd(row + kReverse2[2] * rowStride, _mm256_permute2f128_pd(t0, t2, 0x31));
        _mm256_storeu_pd(row + kReverse2[3] * rowStride, _mm256_permute2f128_pd(t1, t3, 0x31));
    }
}

// The first pass of a small transform from its bit-reversed copy.
template <class Step> void smallFirstPass(float* data, int log2n, const Step& step)
{
    alignas(32) double reversed[1 << (2 * kTileLog2 - 1)];
    gatherReversed(data, log2n, reversed);
    const float* in = reinterpret_cast<const float*>(reversed);
    constexpr int kFloats = 2 * Step::kPoints;
    for (int i = 0; i < 2 << log2n; i += 2 * kFloats)
        step(in + i, in + i + kFloats, data + i, data + i + kFloats);
}

template <int Direction> void complexCore(float* data, int log2n)
{
    const int n = 1 << log2n;
    const bool tiled = log2n >= 2 * kTileLog2;
    int log2h;
    if (log2n & 1) {
        const EightStep<Direction> step;
        tiled ? reversedFirstPass(data, log2n, step) : smallFirstPass(data, log2n, step);
        log2h = 3;
    } else {
        const SixteenStep<Direction> step;
        tiled ? reversedFirstPass(data, log2n, step) : smallFirstPass(data, log2n, step);
        log2h = 4;
    }
    for (; log2h + 4 <= log2n; log2h += 2)
        radix4Pass<Direction, false>(data, n, log2h);
    radix4Pass<Direction, true>(data, n, log2h);
}

// Twiddles for bins k .. k + 7 in the order the split step holds them: k, k+1, k+4, k+5 in the
// low lane, k+2, k+3, k+6, k+7 in the high one.
inline __m256 splitTwiddles(const float* table)
{
    const __m256d natural = _mm256_castps_pd(_mm256_loadu_ps(table));
    return _mm256_castpd_ps(_mm256_permute4x64_pd(natural, _MM_SHUFFLE(3, 1, 2, 0)));
}

// The four-lane split step on eight bins at a time; the bins it leaves over go to the four-lane
// loop, so each bin is computed by the same arithmetic on either path.
template <int Direction> int splitStep(float* data, int log2N)
{
    const int N = 1 << log2N;
    const int n = N / 2;
    const int quarter = N / 4;
    const float* cosTable = fftTables().splitCos[log2N].data();
    const float* sinTable = fftTables().splitSin[log2N].data();
    constexpr float h2Scale = Direction > 0 ? 0.5f : -0.5f;
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 scale = _mm256_set1_ps(h2Scale);
    const __m256 sinSign = _mm256_set1_ps(Direction > 0 ? 0.0f : -0.0f);

    int k = 1;
    for (; k + 7 < quarter; k += 8) {
        float* front = data + 2 * k;
        float* back = data + 2 * (n - k - 7);
        const __m256 f0 = _mm256_loadu_ps(front);
        const __m256 f1 = _mm256_loadu_ps(front + 8);
        // Partners n - k - m, lanes swapped so that they line up with bins k + m.
        const __m256 b0 = _mm256_loadu2_m128(back, back + 4);
        const __m256 b1 = _mm256_loadu2_m128(back + 8, back + 12);
        const __m256 a = _mm256_shuffle_ps(f0, f1, _MM_SHUFFLE(2, 0, 2, 0));
        const __m256 b = _mm256_shuffle_ps(f0, f1, _MM_SHUFFLE(3, 1, 3, 1));
        const __m256 c = _mm256_shuffle_ps(b1, b0, _MM_SHUFFLE(0, 2, 0, 2));
        const __m256 d = _mm256_shuffle_ps(b1, b0, _MM_SHUFFLE(1, 3, 1, 3));
        const __m256 h1r = _mm256_mul_ps(half, _mm256_add_ps(a, c));
        const __m256 h1i = _mm256_mul_ps(half, _mm256_sub_ps(b, d));
        const __m256 h2r = _mm256_mul_ps(scale, _mm256_add_ps(b, d));
        const __m256 h2i = _mm256_mul_ps(scale, _mm256_sub_ps(c, a));
        const __m256 wr = splitTwiddles(cosTable + k);
        const __m256 wi = _mm256_xor_ps(splitTwiddles(sinTable + k), sinSign);
        const __m256 rotR = _mm256_sub_ps(_mm256_mul_ps(wr, h2r), _mm256_mul_ps(wi, h2i));
        const __m256 rotI = _mm256_add_ps(_mm256_mul_ps(wr, h2i), _mm256_mul_ps(wi, h2r));
        const __m256 xr = _mm256_add_ps(h1r, rotR);
        const __m256 xi = _mm256_add_ps(h1i, rotI);
        const __m256 yr = _mm256_sub_ps(h1r, rotR);
        const __m256 yi = _mm256_sub_ps(rotI, h1i);
        _mm256_storeu_ps(front, _mm256_unpacklo_ps(xr, xi));
        _mm256_storeu_ps(front + 8, _mm256_unpackhi_ps(xr, xi));
        const __m256 lo = _mm256_unpacklo_ps(yr, yi);
        const __m256 hi = _mm256_unpackhi_ps(yr, yi);
        _mm256_storeu2_m128(back + 8, back + 12,
                            _mm256_shuffle_ps(lo, lo, _MM_SHUFFLE(1, 0, 3, 2)));
        _mm256_storeu2_m128(back, back + 4, _mm256_shuffle_ps(hi, hi, _MM_SHUFFLE(1, 0, 3, 2)));
    }
    return k;
}

} // namespace
} // namespace avx

void avxComplexCore(float* data, int log2n, int direction)
{
    if (direction > 0)
        avx::complexCore<1>(data, log2n);
    else
        avx::complexCore<-1>(data, log2n);
}

int avxSplitStep(float* data, int log2N, int direction)
{
    return direction > 0 ? avx::splitStep<1>(data, log2N) : avx::splitStep<-1>(data, log2N);
}

#pragma GCC pop_options

bool avxTransformsAvailable()
{
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

#else

void avxComplexCore(float*, int, int)
{
}

int avxSplitStep(float*, int, int)
{
    return 1;
}

bool avxTransformsAvailable()
{
    return false;
}

#endif

} // namespace dsp::fft
