#include "engine/dsp/ConvolverKernels.h"

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define RIG_DSP_SSE_KERNEL 1
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define RIG_DSP_AVX_KERNEL 1
#endif

namespace dsp::Domain::OldConvolvers {

void plainKernel(float* accumulator, const float* impulse, int count, float x)
{
    // Product and sum stay separate statements so that no compiler setting can fuse them into a
    // multiply-add, which would round differently from the SSE kernel.
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const float p0 = impulse[i] * x;
        const float p1 = impulse[i + 1] * x;
        const float p2 = impulse[i + 2] * x;
        const float p3 = impulse[i + 3] * x;
        accumulator[i] += p0;
        accumulator[i + 1] += p1;
        accumulator[i + 2] += p2;
        accumulator[i + 3] += p3;
    }
    for (; i < count; ++i) {
        const float p = impulse[i] * x;
        accumulator[i] += p;
    }
}

void sseKernel(float* accumulator, const float* impulse, int count, float x)
{
#if RIG_DSP_SSE_KERNEL
    const __m128 gain = _mm_set1_ps(x);
    for (int i = 0; i < count; i += 4) {
        const __m128 product = _mm_mul_ps(_mm_load_ps(impulse + i), gain);
        _mm_store_ps(accumulator + i, _mm_add_ps(_mm_load_ps(accumulator + i), product));
    }
#else
    plainKernel(accumulator, impulse, count, x);
#endif
}

#if RIG_DSP_AVX_KERNEL
// Compiled for AVX only here; the rest of the engine keeps the baseline instruction set. No FMA:
// a fused multiply-add would round differently from the other kernels.
__attribute__((target("avx"))) void avxKernel(float* accumulator, const float* impulse, int count,
                                              float x)
{
    const __m256 gain = _mm256_set1_ps(x);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 product = _mm256_mul_ps(_mm256_loadu_ps(impulse + i), gain);
        _mm256_storeu_ps(accumulator + i, _mm256_add_ps(_mm256_loadu_ps(accumulator + i), product));
    }
    if (i < count) {
        const __m128 product = _mm_mul_ps(_mm_load_ps(impulse + i), _mm256_castps256_ps128(gain));
        _mm_store_ps(accumulator + i, _mm_add_ps(_mm_load_ps(accumulator + i), product));
    }
}

bool avxAvailable()
{
    static const bool available = __builtin_cpu_supports("avx");
    return available;
}

// Sixteen lanes where the processor has AVX-512, the rest through the AVX kernel. Still a product
// and a sum, never fused: with AVX-512 the compiler may contract a plain product and sum into a
// fused multiply-add, so both take an explicit rounding (to nearest, the processor's default),
// which it leaves as they are.
__attribute__((target("avx512f"))) void avx512Kernel(float* accumulator, const float* impulse,
                                                     int count, float x)
{
    constexpr int kNearest = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
    const __m512 gain = _mm512_set1_ps(x);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m512 product = _mm512_mul_round_ps(_mm512_loadu_ps(impulse + i), gain, kNearest);
        _mm512_storeu_ps(accumulator + i,
                         _mm512_add_round_ps(_mm512_loadu_ps(accumulator + i), product, kNearest));
    }
    if (i < count)
        avxKernel(accumulator + i, impulse + i, count - i, x);
}

namespace {

// Sixteen sums of avx512Kernel4 (lanes as given).
__attribute__((target("avx512f"), always_inline)) inline void
accumulateFourOn16(float* accumulator, const float* impulse, const __m512* x, __mmask16 lanes)
{
    constexpr int kNearest = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
    __m512 sum = _mm512_maskz_loadu_ps(lanes, accumulator);
    for (int k = 0; k < 4; ++k)
        sum = _mm512_add_round_ps(
            sum, _mm512_mul_round_ps(_mm512_maskz_loadu_ps(lanes, impulse - k), x[k], kNearest),
            kNearest);
    _mm512_mask_storeu_ps(accumulator, lanes, sum);
}

} // namespace

__attribute__((target("avx512f"))) void avx512Kernel4(float* accumulator, const float* impulse,
                                                      int count, const float* x)
{
    const __m512 gains[4] = {_mm512_set1_ps(x[0]), _mm512_set1_ps(x[1]), _mm512_set1_ps(x[2]),
                             _mm512_set1_ps(x[3])};
    int i = 0;
    for (; i + 16 <= count; i += 16)
        accumulateFourOn16(accumulator + i, impulse + i, gains, 0xFFFF);
    if (i < count)
        accumulateFourOn16(accumulator + i, impulse + i, gains,
                           static_cast<__mmask16>((1u << (count - i)) - 1u));
}

bool avx512Available()
{
    static const bool available = __builtin_cpu_supports("avx512f");
    return available;
}
#else
void avx512Kernel4(float* accumulator, const float* impulse, int count, const float* x)
{
    for (int k = 0; k < 4; ++k)
        plainKernel(accumulator, impulse - k, count, x[k]);
}

void avx512Kernel(float* accumulator, const float* impulse, int count, float x)
{
    sseKernel(accumulator, impulse, count, x);
}

bool avx512Available()
{
    return false;
}

void avxKernel(float* accumulator, const float* impulse, int count, float x)
{
    sseKernel(accumulator, impulse, count, x);
}

bool avxAvailable()
{
    return false;
}
#endif

ConvolverKernel vectorKernel()
{
    if (avx512Available())
        return avx512Kernel;
    return avxAvailable() ? avxKernel : sseKernel;
}

} // namespace dsp::Domain::OldConvolvers
