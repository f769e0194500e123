#pragma once

namespace dsp::Domain::OldConvolvers {

// Multiply-accumulate kernels of the convolver: accumulator[i] += impulse[i] * x for i < count.
// Both round every product before adding it (no fused multiply-add), so they give bit-identical
// results and the choice between them changes speed only.
using ConvolverKernel = void (*)(float* accumulator, const float* impulse, int count, float x);

// Groups of four, then any remainder one by one; any alignment.
void plainKernel(float* accumulator, const float* impulse, int count, float x);

// count / 4 groups of four; both pointers 16-byte aligned and count a multiple of 4. Falls back
// to the plain kernel where SSE is not available.
void sseKernel(float* accumulator, const float* impulse, int count, float x);

// The same on eight lanes, for processors with AVX (same preconditions as sseKernel); call it only
// when avxAvailable() says so.
void avxKernel(float* accumulator, const float* impulse, int count, float x);
bool avxAvailable();

// The same on sixteen lanes, for processors with AVX-512 (same preconditions as sseKernel); call
// it only when avx512Available() says so.
void avx512Kernel(float* accumulator, const float* impulse, int count, float x);
bool avx512Available();

// Four consecutive input samples at once, on sixteen lanes (AVX-512 only, see avx512Available):
// accumulator[i] += impulse[i] * x[0], then += impulse[i - 1] * x[1], += impulse[i - 2] * x[2],
// += impulse[i - 3] * x[3] for i < count, each product rounded before its sum, in that order: the
// sums of four calls of the one-sample kernels on consecutive positions, to the bit, while the
// accumulator is read and written once instead of four times. impulse[-3] .. impulse[count - 1]
// must be readable; any alignment.
void avx512Kernel4(float* accumulator, const float* impulse, int count, const float* x);

// The fastest vector kernel this processor runs: AVX-512 where available, else AVX, else SSE.
ConvolverKernel vectorKernel();

} // namespace dsp::Domain::OldConvolvers
