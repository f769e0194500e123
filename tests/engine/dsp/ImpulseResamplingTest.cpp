#include "engine/dsp/Convolver.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

using dsp::Domain::OldConvolvers::Convolver;

using test::randomSignal;

// Zero-pads an impulse to N samples and takes its spectrum.
std::vector<float> spectrumOf(const std::vector<float>& impulse, int N)
{
    std::vector<float> spectrum(static_cast<size_t>(N), 0.0f);
    std::copy(impulse.begin(), impulse.end(), spectrum.begin());
    Convolver::forwardTransform(spectrum.data(), N);
    return spectrum;
}

std::vector<float> combine(const std::vector<std::vector<float>>& spectra, int N, float sourceRate,
                           int M, float targetRate)
{
    std::vector<const float*> pointers;
    for (const auto& s : spectra)
        pointers.push_back(s.data());
    std::vector<float> output(static_cast<size_t>(M), -99.0f);
    Convolver::resampleImpulse(pointers.data(), static_cast<int>(pointers.size()), N, sourceRate,
                               output.data(), M, targetRate);
    return output;
}

// At equal rates and full length, one to three spectra give the linear convolution of their
// impulses (all short enough not to wrap), with the amplitude restored by the 2/M scaling; no
// spectrum at all gives a unit impulse.
TEST(ResampleImpulse, EqualRatesMultiplySpectraIntoTheConvolutionOfTheImpulses)
{
    const int N = 256;
    const std::vector<std::vector<float>> impulses = {randomSignal(60, 1), randomSignal(50, 2),
                                                      randomSignal(40, 3)};
    for (size_t k = 0; k <= impulses.size(); ++k) {
        std::vector<double> expected(N, 0.0);
        expected[0] = 1.0;
        std::vector<std::vector<float>> spectra;
        for (size_t s = 0; s < k; ++s) {
            std::vector<double> next(N, 0.0);
            for (int i = 0; i < N; ++i)
                for (size_t j = 0; j < impulses[s].size() && i + j < static_cast<size_t>(N); ++j)
                    next[i + j] += expected[i] * impulses[s][j];
            expected = next;
            spectra.push_back(spectrumOf(impulses[s], N));
        }
        const std::vector<float> output = combine(spectra, N, 44100.0f, N, 44100.0f);
        for (int i = 0; i < N; ++i)
            ASSERT_NEAR(output[i], expected[i], 2e-5 * (1 + 10 * k))
                << k << " spectra, sample " << i;
    }
}

// At equal rates a shorter output folds the response: sample n is the sum of samples n, n + M,
// n + 2M, ... (one sample: the sum of all; two: the even and the odd sums).
TEST(ResampleImpulse, EqualRatesFoldTheResponseOntoShorterLengths)
{
    const int N = 256;
    const std::vector<float> impulse = randomSignal(N, 4);
    const std::vector<std::vector<float>> spectra = {spectrumOf(impulse, N)};
    for (int M : {1, 2, 4, 64, 128}) {
        const std::vector<float> output = combine(spectra, N, 48000.0f, M, 48000.0f);
        for (int n = 0; n < M; ++n) {
            double folded = 0.0;
            for (int i = n; i < N; i += M)
                folded += impulse[i];
            ASSERT_NEAR(output[n], folded, 1e-4) << "M " << M << ", sample " << n;
        }
    }
}

// A smooth, decaying and practically band-limited response at 44.1 kHz re-made for 48 and 96 kHz
// matches the same continuous response sampled at the new rate. The spectrum keeps its values,
// so the response keeps its gain: its samples scale by sourceRate / targetRate.
TEST(ResampleImpulse, OtherRatesMatchBandLimitedResampling)
{
    const double t0 = 1e-3;
    const double width = 0.15e-3;
    const double f0 = 3000.0;
    auto response = [&](double t) {
        const double u = (t - t0) / width;
        return std::exp(-u * u) * std::cos(2.0 * std::numbers::pi * f0 * (t - t0));
    };
    const int N = 4096;
    const float source = 44100.0f;
    std::vector<float> impulse(N);
    for (int i = 0; i < N; ++i)
        impulse[i] = static_cast<float>(response(i / 44100.0));
    const std::vector<std::vector<float>> spectra = {spectrumOf(impulse, N)};

    for (auto [target, M] : {std::pair{48000.0f, 1024}, {96000.0f, 2048}}) {
        const std::vector<float> output = combine(spectra, N, source, M, target);
        const double scale = source / target;
        for (int m = 0; m < M; ++m)
            ASSERT_NEAR(output[m], scale * response(m / static_cast<double>(target)), 2e-5 * scale)
                << "rate " << target << ", sample " << m;
    }
}

// Catmull-Rom reproduces a linear spectrum exactly; past the input's usable range (bins up to
// N/2 - 2) each component holds its last computed value, and the Nyquist term is the input's.
TEST(ResampleSpectrum, InterpolatesThenHoldsTheLastValue)
{
    const int N = 64;
    const int M = 128;
    const double step = 1.5;
    std::vector<float> spectrum(N);
    spectrum[0] = 3.0f;
    spectrum[1] = -7.0f;
    for (int b = 1; b < N / 2; ++b) {
        spectrum[2 * b] = 3.0f + 0.5f * b;
        spectrum[2 * b + 1] = -1.0f * b;
    }
    std::vector<float> output(M, -99.0f);
    Convolver::resampleSpectrum(spectrum.data(), N, output.data(), M, step);

    EXPECT_EQ(output[0], 3.0f);
    EXPECT_EQ(output[1], -7.0f);
    // Positions below N/2 - 2 = 30 are interpolated: j * 1.5 < 30 for j < 20.
    const int lastComputed = 19;
    for (int j = 1; j <= lastComputed; ++j) {
        EXPECT_NEAR(output[2 * j], 3.0 + 0.5 * j * step, 1e-5) << "bin " << j;
        // Output bin 1 reads input bins 0..3; for the imaginary parts "bin 0" is the Nyquist slot.
        if (j > 1) {
            EXPECT_NEAR(output[2 * j + 1], -j * step, 1e-5) << "bin " << j;
        }
    }
    for (int j = lastComputed + 1; j < M / 2; ++j) {
        EXPECT_EQ(output[2 * j], output[2 * lastComputed]) << "bin " << j;
        EXPECT_EQ(output[2 * j + 1], output[2 * lastComputed + 1]) << "bin " << j;
    }
}

TEST(ResampleImpulse, InvalidArgumentsGiveSilence)
{
    const std::vector<std::vector<float>> spectra = {spectrumOf(randomSignal(8, 5), 64)};
    EXPECT_EQ(combine(spectra, 48, 44100.0f, 16, 44100.0f), std::vector<float>(16, 0.0f));
    EXPECT_EQ(combine(spectra, 64, 0.0f, 16, 48000.0f), std::vector<float>(16, 0.0f));
    EXPECT_EQ(combine(spectra, 64, 44100.0f, 12, 48000.0f), std::vector<float>(12, 0.0f));
}

} // namespace
