#pragma once

namespace dsp::fft {

// The table-driven transforms' passes on eight lanes, for processors with AVX2. They use the
// same tables and round every product and sum as the four-lane passes do, so the results are
// bit-identical and the choice changes speed only. Call them only when avxTransformsAvailable().
bool avxTransformsAvailable();

// The complex core of 2^log2n interleaved points (log2n >= 5): bit reversal, all passes, back to
// interleaved pairs.
void avxComplexCore(float* data, int log2n, int direction);

// The split step of a real transform of 2^log2N points, eight bins at a time from bin 1; returns
// the first bin it left for the four-lane loop.
int avxSplitStep(float* data, int log2N, int direction);

} // namespace dsp::fft
