#include "engine/dsp/ConvolverKernels.h"

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define RIG_DSP_SSE_KERNEL 1
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

} // namespace dsp::Domain::OldConvolvers
