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

// The fastest vector kernel this processor runs: AVX-512 where available, else AVX, else SSE.
ConvolverKernel vectorKernel();

} // namespace dsp::Domain::OldConvolvers
