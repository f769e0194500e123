#pragma once

namespace dsp::fft {

// Radix-2 transforms whose twiddles come from a double-precision recurrence, so they need no
// tables and serve every power-of-two size. The table-driven transforms replace them where tables
// exist; both follow the same conventions (see Convolver::complexTransform and
// Convolver::realTransform).

// In-place complex FFT of n interleaved points; direction +1 uses e^(+i 2 pi j k / n).
void recurrenceComplexTransform(float* data, int n, int direction);

// In-place real FFT of N points in the packed layout (DC at 0, Nyquist at 1), or its unscaled
// inverse for direction -1. N >= 2.
void recurrenceRealTransform(float* data, int N, int direction);

// The split step that turns the complex transform of the N/2 even/odd pairs into the spectrum of
// the N real points (forward), or back (inverse); bin N/4 stays as it is.
void recurrenceSplitStep(float* data, int N, int direction);

} // namespace dsp::fft
