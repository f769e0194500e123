#pragma once

#include "engine/dsp/ConvolverKernels.h"

#include <vector>

namespace dsp::Domain::OldConvolvers {

// Zero-latency direct convolver of the cabinet, and the real FFT with the spectral resampling by
// which the cabinet builds its responses for the host's rate.
//
// Spectrum layout of the real FFT of N points: element 0 is the real value at frequency 0,
// element 1 the real value at N/2, elements 2k and 2k+1 the real and imaginary parts of bin k.
// The forward transform uses e^(+i 2 pi j k / N); the inverse is unscaled, so a forward and an
// inverse transform multiply the data by N/2.
class Convolver {
public:
    // Block capacity 4096, plain kernel, a unit impulse of 1024 samples. Allocates.
    Convolver();
    ~Convolver();
    Convolver(const Convolver&) = delete;
    Convolver& operator=(const Convolver&) = delete;

    // --- Transforms: any thread, no allocation, in place. A size that is not a power of two (or
    // below 1) leaves the data untouched.

    // Complex FFT of n interleaved (real, imaginary) points; direction +1 uses the positive
    // exponent, -1 the negative one (unscaled).
    static void complexTransform(float* data, int n, int direction);
    // Real FFT of N points into the layout above (direction +1) or back (direction -1).
    static void realTransform(float* data, int N, int direction);
    static void forwardTransform(float* data, int N);
    static void inverseTransform(float* data, int N);

    // --- Spectral resampling: off the audio thread (resampleImpulse allocates).

    // Multiplies the k spectra of N points bin by bin (elements 0 and 1 as reals), maps the
    // product onto an M-point spectrum for targetRate, transforms it back and scales it by 2/M:
    // output holds the combined impulse response of M samples at targetRate. At equal rates with
    // M <= N this folds the product response onto M samples (sample n is the sum of samples
    // n, n + M, n + 2M, ...).
    static void resampleImpulse(const float* const* spectra, int k, int N, float sourceRate,
                                float* output, int M, float targetRate);
    // One component of the resampling: reads spectrum[2b] for bins b, writes output[2j] for
    // output bins j < M/2 (pass spectrum + 1 and output + 1 for the imaginary parts). Output bin
    // j is the Catmull-Rom cubic through the input bins around position j * step; output bins
    // past the input's usable range hold the last value computed.
    static void interpolateSpectrum(const float* spectrum, int N, float* output, int M,
                                    double step);
    // Both components of an M-point spectrum sampled at positions j * step of an N-point one.
    static void resampleSpectrum(const float* spectrum, int N, float* output, int M, double step);
    // Output bins 0 .. M/2 - 1 take input bins 0, N/M, 2N/M, ...; element 1 (Nyquist) takes the
    // input's Nyquist term, which is exactly input bin M/2 * N/M.
    static void decimateSpectrum(const float* spectrum, int N, float* output, int M);

    // --- Convolution.

    // Allocates n + alignment/4 floats, records the buffer for freeSegments and returns the first
    // address in it that is a multiple of alignment (bytes, a power of two, at least 4).
    float* allocateAligned(int n, int alignment);
    // Frees every buffer allocateAligned recorded.
    void freeSegments();

    // Replaces the impulse (L samples, copied; samples below 1e-19 in magnitude become 0) and
    // discards the accumulated tail; position 0.
    // Reuses the buffers when they have room for L samples (see reserve), and only then allocates
    // nothing; otherwise it frees them and allocates. Call it outside process, never concurrently
    // with it. A null impulse or L < 1 installs a single zero sample.
    void setImpulse(const float* impulse, int L);
    // Makes room for impulses of up to `longest` samples, so that a later setImpulse of that
    // length or less allocates nothing (the audio thread may then call it). When the buffers are
    // smaller it allocates and sets the current impulse again, which discards the tail.
    void reserve(int longest);
    // true selects the vector kernel (SSE, or its AVX form where the processor has AVX), false the
    // plain one; all give identical output.
    void selectProcessRoutine(bool useSse);
    // Pins one kernel of ConvolverKernels.h, so that tests and benchmarks can compare them.
    void selectKernel(ConvolverKernel kernel)
    {
        kernel_ = kernel != nullptr ? kernel : plainKernel;
    }

    // Convolves n samples (audio thread; no allocation, any n >= 0, output may equal input).
    // Output sample j already contains input[j] times the impulse's first sample: no latency.
    // Every input sample is offset by 1e-18 so that silence keeps the sums out of the subnormal
    // range.
    void process(float* output, const float* input, int n);

    int impulseLength() const { return impulseLength_; }
    int blockCapacity() const { return blockCapacity_; }
    // The longest impulse the buffers hold without allocating.
    int reservedLength() const { return reservedLength_; }

private:
    void processRun(float* output, const float* input, int n);
    // Adds input samples j .. j + 3 at accumulator position p with avx512Kernel4.
    void accumulateFour(const float* input, int p);
    // Frees the buffers and allocates the four copies and the accumulator for `longest` samples.
    void allocateFor(int longest);

    std::vector<float*> blocks_;   // every buffer allocated, freed together
    int blockCapacity_ = 4096;     // the largest run the accumulator has room for
    float* impulseCopies_[4] = {}; // copy k: k zeros, the impulse, zeros to a multiple of 4
    float* padded_ = nullptr;      // three zeros, the impulse, three zeros (avx512Kernel4)
    int impulseLength_ = 0;
    float* accumulator_ = nullptr; // circular sums, accLength_ + 3 floats (kernel overhang)
    int accLength_ = 0;            // impulseLength_ + blockCapacity_
    int reservedLength_ = 0;       // the longest impulse the buffers have room for
    int position_ = 0;             // accumulator index of the next output sample
    ConvolverKernel kernel_ = plainKernel;
};

} // namespace dsp::Domain::OldConvolvers
