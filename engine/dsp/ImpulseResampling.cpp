// Combining stored responses in the frequency domain and re-making them for the host's rate.
#include "engine/dsp/Convolver.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace dsp::Domain::OldConvolvers {
namespace {

bool powerOfTwo(int n)
{
    return n >= 1 && std::has_single_bit(static_cast<unsigned>(n));
}

} // namespace

void Convolver::interpolateSpectrum(const float* spectrum, int N, float* output, int M, double step)
{
    // Zeroing the output first for step >= 1 would change nothing: every output bin is either
    // computed or holds the last computed value.
    output[0] = spectrum[0];
    float last = output[0];
    const int bins = M / 2;
    // The cubic reads bins i - 1 .. i + 2, so i stays below N/2 - 2.
    const int limit = N / 2 - 2;
    int j = 1;
    for (; j < bins; ++j) {
        const double position = j * step;
        if (!(position < limit))
            break;
        int i = static_cast<int>(position);
        double t = position - i;
        if (i < 1) {
            i = 1;
            t = position - 1.0;
        }
        const float p0 = spectrum[2 * (i - 1)];
        const float p1 = spectrum[2 * i];
        const float p2 = spectrum[2 * (i + 1)];
        const float p3 = spectrum[2 * (i + 2)];
        const float tf = static_cast<float>(t);
        last = ((((p1 - p2) * 1.5f + (p3 - p0) * 0.5f) * tf +
                 (p0 - 2.5f * p1 + 2.0f * p2 - 0.5f * p3)) *
                    tf +
                (p2 - p0) * 0.5f) *
                   tf +
               p1;
        output[2 * j] = last;
    }
    for (; j < bins; ++j)
        output[2 * j] = last;
}

void Convolver::resampleSpectrum(const float* spectrum, int N, float* output, int M, double step)
{
    // The imaginary pass starts at element 1, so the output's Nyquist term is the input's.
    interpolateSpectrum(spectrum, N, output, M, step);
    interpolateSpectrum(spectrum + 1, N, output + 1, M, step);
}

void Convolver::decimateSpectrum(const float* spectrum, int N, float* output, int M)
{
    const int stride = N / M;
    for (int j = 0; j < M / 2; ++j) {
        output[2 * j] = spectrum[2 * j * stride];
        output[2 * j + 1] = spectrum[2 * j * stride + 1];
    }
}

void Convolver::resampleImpulse(const float* const* spectra, int k, int N, float sourceRate,
                                float* output, int M, float targetRate)
{
    if (output == nullptr || M < 1)
        return;
    const double step = static_cast<double>(N) * targetRate / (static_cast<double>(M) * sourceRate);
    if (!powerOfTwo(N) || N < 2 || !powerOfTwo(M) || k < 0 || (k > 0 && spectra == nullptr) ||
        !(step > 0.0) || !std::isfinite(step)) {
        std::fill(output, output + M, 0.0f);
        return;
    }

    std::vector<float> product(static_cast<size_t>(N), 0.0f);
    product[0] = 1.0f;
    product[1] = 1.0f;
    for (int bin = 1; bin < N / 2; ++bin)
        product[2 * bin] = 1.0f;
    for (int s = 0; s < k; ++s) {
        const float* spectrum = spectra[s];
        product[0] *= spectrum[0];
        product[1] *= spectrum[1];
        for (int bin = 1; bin < N / 2; ++bin) {
            const float ar = product[2 * bin];
            const float ai = product[2 * bin + 1];
            const float br = spectrum[2 * bin];
            const float bi = spectrum[2 * bin + 1];
            product[2 * bin] = ar * br - ai * bi;
            product[2 * bin + 1] = ar * bi + ai * br;
        }
    }

    // A one-sample response has no room for the packed Nyquist term: it is the sum of the whole
    // response, the DC term, whatever the rate.
    if (M == 1) {
        output[0] = product[0];
        return;
    }

    // Decimation needs N/M whole bins; a longer output at the same rate is interpolated.
    if (sourceRate != targetRate || M > N)
        resampleSpectrum(product.data(), N, output, M, step);
    else
        decimateSpectrum(product.data(), N, output, M);

    inverseTransform(output, M);
    const float scale = 1.0f / static_cast<float>(M / 2);
    for (int i = 0; i < M; ++i)
        output[i] *= scale;
}

} // namespace dsp::Domain::OldConvolvers
