#include "engine/dsp/TableFft.h"

#include "engine/dsp/FftTables.h"
#include "engine/dsp/TableFftAvx.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define RIG_DSP_TABLE_FFT 1
#endif

namespace dsp::fft {

#if RIG_DSP_TABLE_FFT
namespace {

// Layout between the first and the last pass: "blocked split", each run of four complex points
// held as their four real parts followed by their four imaginary parts. Every pass after the
// first then works on whole vectors of real and imaginary parts with no shuffles, and the
// conversion from and to interleaved pairs costs nothing extra because the first and the last
// pass touch every point anyway.
//
// Passes are decimation in time on bit-reversed input. Radix-4 passes join four transforms of h
// points held at offsets 0, h, 2h, 3h; because of the bit reversal these are the transforms of
// the input points with residues 0, 2, 1, 3 modulo 4, so the twiddle W^j goes to offset 2h and
// W^2j to offset h.

inline __m128 signMask(bool s0, bool s1, bool s2, bool s3)
{
    return _mm_setr_ps(s0 ? -0.0f : 0.0f, s1 ? -0.0f : 0.0f, s2 ? -0.0f : 0.0f, s3 ? -0.0f : 0.0f);
}

// (xr + i xi) * w, where w = wr + i wi for direction +1 and its conjugate for direction -1.
template <int Direction>
inline void multiply(__m128 xr, __m128 xi, __m128 wr, __m128 wi, __m128& outR, __m128& outI)
{
    if constexpr (Direction > 0) {
        outR = _mm_sub_ps(_mm_mul_ps(xr, wr), _mm_mul_ps(xi, wi));
        outI = _mm_add_ps(_mm_mul_ps(xr, wi), _mm_mul_ps(xi, wr));
    } else {
        outR = _mm_add_ps(_mm_mul_ps(xr, wr), _mm_mul_ps(xi, wi));
        outI = _mm_sub_ps(_mm_mul_ps(xi, wr), _mm_mul_ps(xr, wi));
    }
}

// Radix-4 over each run of four points (all twiddles 1 or +-i), interleaved in, blocked split out.
template <int Direction> void firstPass(float* data, int n)
{
    const __m128 alternate = signMask(false, true, false, true);
    const __m128 reSign =
        Direction > 0 ? signMask(false, true, true, false) : signMask(false, false, true, true);
    const __m128 imSign =
        Direction > 0 ? signMask(false, false, true, true) : signMask(false, true, true, false);
    for (float* block = data; block != data + 2 * n; block += 8) {
        const __m128 lo = _mm_loadu_ps(block);
        const __m128 hi = _mm_loadu_ps(block + 4);
        const __m128 re = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 im = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1));
        // (P, Q, R, T) = (x0 + x1, x0 - x1, x2 + x3, x2 - x3), real and imaginary.
        const __m128 reV =
            _mm_add_ps(_mm_shuffle_ps(re, re, _MM_SHUFFLE(2, 2, 0, 0)),
                       _mm_xor_ps(_mm_shuffle_ps(re, re, _MM_SHUFFLE(3, 3, 1, 1)), alternate));
        const __m128 imV =
            _mm_add_ps(_mm_shuffle_ps(im, im, _MM_SHUFFLE(2, 2, 0, 0)),
                       _mm_xor_ps(_mm_shuffle_ps(im, im, _MM_SHUFFLE(3, 3, 1, 1)), alternate));
        // Outputs (P + R, Q + s i T, P - R, Q - s i T).
        const __m128 pqRe = _mm_shuffle_ps(reV, reV, _MM_SHUFFLE(1, 0, 1, 0));
        const __m128 pqIm = _mm_shuffle_ps(imV, imV, _MM_SHUFFLE(1, 0, 1, 0));
        __m128 rtRe = _mm_shuffle_ps(reV, imV, _MM_SHUFFLE(3, 3, 2, 2));
        rtRe = _mm_shuffle_ps(rtRe, rtRe, _MM_SHUFFLE(3, 1, 2, 0));
        __m128 rtIm = _mm_shuffle_ps(imV, reV, _MM_SHUFFLE(3, 3, 2, 2));
        rtIm = _mm_shuffle_ps(rtIm, rtIm, _MM_SHUFFLE(3, 1, 2, 0));
        _mm_storeu_ps(block, _mm_add_ps(pqRe, _mm_xor_ps(rtRe, reSign)));
        _mm_storeu_ps(block + 4, _mm_add_ps(pqIm, _mm_xor_ps(rtIm, imSign)));
    }
}

// Radix-2 joining pairs of 4-point transforms, used once when the pass count is odd.
template <int Direction> void radix2Pass(float* data, int n)
{
    const float* table = fftTables().radix2;
    const __m128 wr = _mm_loadu_ps(table);
    const __m128 wi = _mm_loadu_ps(table + 4);
    for (float* a = data; a != data + 2 * n; a += 16) {
        float* b = a + 8;
        const __m128 ar = _mm_loadu_ps(a);
        const __m128 ai = _mm_loadu_ps(a + 4);
        __m128 tr;
        __m128 ti;
        multiply<Direction>(_mm_loadu_ps(b), _mm_loadu_ps(b + 4), wr, wi, tr, ti);
        _mm_storeu_ps(a, _mm_add_ps(ar, tr));
        _mm_storeu_ps(a + 4, _mm_add_ps(ai, ti));
        _mm_storeu_ps(b, _mm_sub_ps(ar, tr));
        _mm_storeu_ps(b + 4, _mm_sub_ps(ai, ti));
    }
}

template <int Direction> void radix4Pass(float* data, int n, int log2h)
{
    const int h = 1 << log2h;
    const float* table = fftTables().radix4[log2h].data();
    for (float* group = data; group != data + 2 * n; group += 8 * h) {
        for (int j = 0; j < h; j += 4) {
            // Runs of eight twiddles: this run of four starts at j % 8 within its run.
            const float* tw = table + (j / 8) * 48 + (j % 8);
            float* p0 = group + 2 * j;
            float* p1 = p0 + 2 * h;
            float* p2 = p0 + 4 * h;
            float* p3 = p0 + 6 * h;
            const __m128 x0r = _mm_loadu_ps(p0);
            const __m128 x0i = _mm_loadu_ps(p0 + 4);
            __m128 a1r, a1i, a2r, a2i, a3r, a3i;
            multiply<Direction>(_mm_loadu_ps(p2), _mm_loadu_ps(p2 + 4), _mm_loadu_ps(tw),
                                _mm_loadu_ps(tw + 8), a1r, a1i);
            multiply<Direction>(_mm_loadu_ps(p1), _mm_loadu_ps(p1 + 4), _mm_loadu_ps(tw + 16),
                                _mm_loadu_ps(tw + 24), a2r, a2i);
            multiply<Direction>(_mm_loadu_ps(p3), _mm_loadu_ps(p3 + 4), _mm_loadu_ps(tw + 32),
                                _mm_loadu_ps(tw + 40), a3r, a3i);
            const __m128 pr = _mm_add_ps(x0r, a2r);
            const __m128 pi = _mm_add_ps(x0i, a2i);
            const __m128 qr = _mm_sub_ps(x0r, a2r);
            const __m128 qi = _mm_sub_ps(x0i, a2i);
            const __m128 rr = _mm_add_ps(a1r, a3r);
            const __m128 ri = _mm_add_ps(a1i, a3i);
            const __m128 tr = _mm_sub_ps(a1r, a3r);
            const __m128 ti = _mm_sub_ps(a1i, a3i);
            _mm_storeu_ps(p0, _mm_add_ps(pr, rr));
            _mm_storeu_ps(p0 + 4, _mm_add_ps(pi, ri));
            _mm_storeu_ps(p2, _mm_sub_ps(pr, rr));
            _mm_storeu_ps(p2 + 4, _mm_sub_ps(pi, ri));
            if constexpr (Direction > 0) {
                _mm_storeu_ps(p1, _mm_sub_ps(qr, ti));
                _mm_storeu_ps(p1 + 4, _mm_add_ps(qi, tr));
                _mm_storeu_ps(p3, _mm_add_ps(qr, ti));
                _mm_storeu_ps(p3 + 4, _mm_sub_ps(qi, tr));
            } else {
                _mm_storeu_ps(p1, _mm_add_ps(qr, ti));
                _mm_storeu_ps(p1 + 4, _mm_sub_ps(qi, tr));
                _mm_storeu_ps(p3, _mm_sub_ps(qr, ti));
                _mm_storeu_ps(p3 + 4, _mm_add_ps(qi, tr));
            }
        }
    }
}

void toInterleaved(float* data, int n)
{
    for (float* block = data; block != data + 2 * n; block += 8) {
        const __m128 re = _mm_loadu_ps(block);
        const __m128 im = _mm_loadu_ps(block + 4);
        _mm_storeu_ps(block, _mm_unpacklo_ps(re, im));
        _mm_storeu_ps(block + 4, _mm_unpackhi_ps(re, im));
    }
}

template <int Direction> void complexCore(float* data, int log2n)
{
    const int n = 1 << log2n;
    bitReverse(data, log2n);
    firstPass<Direction>(data, n);
    int log2h = 2;
    if ((log2n - 2) & 1) {
        radix2Pass<Direction>(data, n);
        log2h = 3;
    }
    for (; log2h + 2 <= log2n; log2h += 2)
        radix4Pass<Direction>(data, n, log2h);
    toInterleaved(data, n);
}

// The split step of the recurrence version with tabled twiddles, four bins k at a time against
// their partners n - k, from bin k on (the bins before are done); bin N/4 pairs with itself and
// stays as it is.
template <int Direction> void splitStep(float* data, int log2N, int k)
{
    const int N = 1 << log2N;
    const int n = N / 2;
    const int quarter = N / 4;
    const float* cosTable = fftTables().splitCos[log2N].data();
    const float* sinTable = fftTables().splitSin[log2N].data();
    // h2 = -c2 (b + d), c2 (a - c) with c2 = -0.5 forward, +0.5 inverse; the inverse also runs
    // with the conjugate twiddle.
    constexpr float h2Scale = Direction > 0 ? 0.5f : -0.5f;
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128 scale = _mm_set1_ps(h2Scale);
    const __m128 sinSign = _mm_set1_ps(Direction > 0 ? 0.0f : -0.0f);

    for (; k + 3 < quarter; k += 4) {
        float* front = data + 2 * k;
        float* back = data + 2 * (n - k - 3);
        const __m128 f0 = _mm_loadu_ps(front);
        const __m128 f1 = _mm_loadu_ps(front + 4);
        const __m128 b0 = _mm_loadu_ps(back);
        const __m128 b1 = _mm_loadu_ps(back + 4);
        const __m128 a = _mm_shuffle_ps(f0, f1, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 b = _mm_shuffle_ps(f0, f1, _MM_SHUFFLE(3, 1, 3, 1));
        const __m128 c = _mm_shuffle_ps(b1, b0, _MM_SHUFFLE(0, 2, 0, 2));
        const __m128 d = _mm_shuffle_ps(b1, b0, _MM_SHUFFLE(1, 3, 1, 3));
        const __m128 h1r = _mm_mul_ps(half, _mm_add_ps(a, c));
        const __m128 h1i = _mm_mul_ps(half, _mm_sub_ps(b, d));
        const __m128 h2r = _mm_mul_ps(scale, _mm_add_ps(b, d));
        const __m128 h2i = _mm_mul_ps(scale, _mm_sub_ps(c, a));
        const __m128 wr = _mm_loadu_ps(cosTable + k);
        const __m128 wi = _mm_xor_ps(_mm_loadu_ps(sinTable + k), sinSign);
        const __m128 rotR = _mm_sub_ps(_mm_mul_ps(wr, h2r), _mm_mul_ps(wi, h2i));
        const __m128 rotI = _mm_add_ps(_mm_mul_ps(wr, h2i), _mm_mul_ps(wi, h2r));
        const __m128 xr = _mm_add_ps(h1r, rotR);
        const __m128 xi = _mm_add_ps(h1i, rotI);
        const __m128 yr = _mm_sub_ps(h1r, rotR);
        const __m128 yi = _mm_sub_ps(rotI, h1i);
        _mm_storeu_ps(front, _mm_unpacklo_ps(xr, xi));
        _mm_storeu_ps(front + 4, _mm_unpackhi_ps(xr, xi));
        const __m128 lo = _mm_unpacklo_ps(yr, yi);
        const __m128 hi = _mm_unpackhi_ps(yr, yi);
        _mm_storeu_ps(back + 4, _mm_shuffle_ps(lo, lo, _MM_SHUFFLE(1, 0, 3, 2)));
        _mm_storeu_ps(back, _mm_shuffle_ps(hi, hi, _MM_SHUFFLE(1, 0, 3, 2)));
    }
    for (; k < quarter; ++k) {
        float* lo = data + 2 * k;
        float* hi = data + N - 2 * k;
        const float h1r = 0.5f * (lo[0] + hi[0]);
        const float h1i = 0.5f * (lo[1] - hi[1]);
        const float h2r = h2Scale * (lo[1] + hi[1]);
        const float h2i = h2Scale * (hi[0] - lo[0]);
        const float wr = cosTable[k];
        const float wi = Direction > 0 ? sinTable[k] : -sinTable[k];
        const float rotR = wr * h2r - wi * h2i;
        const float rotI = wr * h2i + wi * h2r;
        lo[0] = h1r + rotR;
        lo[1] = h1i + rotI;
        hi[0] = h1r - rotR;
        hi[1] = rotI - h1i;
    }
}

bool wide(TableFftWidth width, int log2n)
{
    return width == TableFftWidth::Widest && log2n >= 5 && avxTransformsAvailable();
}

template <int Direction> void complexTransform(float* data, int log2n, TableFftWidth width)
{
    if (wide(width, log2n))
        avxComplexCore(data, log2n, Direction);
    else
        complexCore<Direction>(data, log2n);
}

template <int Direction> void realSplit(float* data, int log2N, TableFftWidth width)
{
    const int k = wide(width, log2N - 1) ? avxSplitStep(data, log2N, Direction) : 1;
    splitStep<Direction>(data, log2N, k);
}

} // namespace

bool tableComplexTransform(float* data, int n, int direction, TableFftWidth width)
{
    if (n <= 0 || (n & (n - 1)) != 0)
        return false;
    const int log2n = std::countr_zero(static_cast<unsigned>(n));
    if (log2n < kMinLog2 || log2n > kMaxLog2)
        return false;
    if (direction == 1)
        complexTransform<1>(data, log2n, width);
    else
        complexTransform<-1>(data, log2n, width);
    return true;
}

bool tableRealTransform(float* data, int N, int direction, TableFftWidth width)
{
    if (N <= 0 || (N & (N - 1)) != 0)
        return false;
    const int log2N = std::countr_zero(static_cast<unsigned>(N));
    if (log2N - 1 < kMinLog2 || log2N - 1 > kMaxLog2)
        return false;
    if (direction == 1) {
        complexTransform<1>(data, log2N - 1, width);
        realSplit<1>(data, log2N, width);
        const float h = data[0];
        data[0] = h + data[1];
        data[1] = h - data[1];
    } else {
        realSplit<-1>(data, log2N, width);
        const float h = data[0];
        data[0] = 0.5f * (h + data[1]);
        data[1] = 0.5f * (h - data[1]);
        complexTransform<-1>(data, log2N - 1, width);
    }
    return true;
}

#else

bool tableComplexTransform(float*, int, int, TableFftWidth)
{
    return false;
}
bool tableRealTransform(float*, int, int, TableFftWidth)
{
    return false;
}

#endif

} // namespace dsp::fft
