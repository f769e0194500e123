#pragma once

namespace dsp::fft {

// Table-driven SSE transforms with the same results (up to float rounding) and conventions as the
// recurrence transforms. Each returns false, leaving the data untouched, for a size it has no
// tables for (complex n outside 16 .. 16384, real N outside 32 .. 32768) or on a processor
// without SSE2; the caller then falls back to the recurrence.
bool tableComplexTransform(float* data, int n, int direction);
bool tableRealTransform(float* data, int N, int direction);

} // namespace dsp::fft
