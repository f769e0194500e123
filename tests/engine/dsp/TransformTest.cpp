#include "engine/dsp/Convolver.h"
#include "engine/dsp/RecurrenceFft.h"
#include "engine/dsp/TableFft.h"
#include "engine/dsp/TableFftAvx.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace {

using dsp::Domain::OldConvolvers::Convolver;
using Complex = std::complex<double>;

using test::randomSignal;

// Bin k of the DFT of n complex points with exponent sign `sign`, in double precision; the
// twiddle index is reduced modulo n so that every twiddle is exact to double rounding.
Complex dftBin(const std::vector<Complex>& x, int k, int sign)
{
    const int n = static_cast<int>(x.size());
    Complex sum = 0.0;
    for (int j = 0; j < n; ++j) {
        const long long index = (static_cast<long long>(j) * k) % n;
        const double angle = sign * 2.0 * std::numbers::pi * static_cast<double>(index) / n;
        sum += x[j] * Complex(std::cos(angle), std::sin(angle));
    }
    return sum;
}

// Bins to check: all of them for small sizes; for large ones (where a full O(N^2) DFT would be
// slow) the edges, the middle and a random selection.
std::vector<int> binsToCheck(int bins, unsigned seed)
{
    std::vector<int> chosen;
    if (bins <= 1024) {
        for (int k = 0; k < bins; ++k)
            chosen.push_back(k);
        return chosen;
    }
    chosen = {0, 1, 2, 3, bins / 2 - 1, bins / 2, bins / 2 + 1, bins - 2, bins - 1};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> any(0, bins - 1);
    for (int i = 0; i < 40; ++i)
        chosen.push_back(any(rng));
    return chosen;
}

// Float rounding grows about with log2 N times the typical magnitude; a wrong twiddle, sign or
// index gives errors of the order of the magnitude itself.
double tolerance(int n)
{
    return 2e-7 * std::log2(static_cast<double>(n)) * std::sqrt(n) + 1e-6;
}

// Checks a packed real spectrum against the +i DFT of the real input.
void expectPackedSpectrum(const std::vector<float>& input, const std::vector<float>& spectrum)
{
    const int N = static_cast<int>(input.size());
    std::vector<Complex> x(input.begin(), input.end());
    const double tol = tolerance(N);
    for (int k : binsToCheck(N / 2, static_cast<unsigned>(N))) {
        const Complex expected = dftBin(x, k, +1);
        if (k == 0) {
            EXPECT_NEAR(spectrum[0], expected.real(), tol) << "N " << N << " DC";
            EXPECT_NEAR(spectrum[1], dftBin(x, N / 2, +1).real(), tol) << "N " << N << " Nyquist";
            continue;
        }
        EXPECT_NEAR(spectrum[2 * k], expected.real(), tol) << "N " << N << " bin " << k;
        EXPECT_NEAR(spectrum[2 * k + 1], expected.imag(), tol) << "N " << N << " bin " << k;
    }
}

TEST(RealTransform, MatchesDoublePrecisionDftInPackedLayoutForEverySize)
{
    for (int N = 16; N <= 32768; N *= 2) {
        const std::vector<float> x = randomSignal(N, static_cast<unsigned>(N));
        std::vector<float> spectrum = x;
        Convolver::forwardTransform(spectrum.data(), N);
        expectPackedSpectrum(x, spectrum);
    }
}

TEST(RealTransform, RecurrenceFallbackMatchesDoublePrecisionDft)
{
    // The sizes served by tables normally never reach the recurrence; check it on its own.
    for (int N : {2, 4, 8, 64, 2048}) {
        const std::vector<float> x = randomSignal(N, 7u + N);
        std::vector<float> spectrum = x;
        dsp::fft::recurrenceRealTransform(spectrum.data(), N, 1);
        expectPackedSpectrum(x, spectrum);
    }
}

TEST(RealTransform, ForwardThenInverseMultipliesByHalfTheSize)
{
    for (int N : {2, 4, 16, 32, 64, 1024, 32768, 65536}) {
        const std::vector<float> x = randomSignal(N, 3u * N);
        std::vector<float> data = x;
        Convolver::forwardTransform(data.data(), N);
        Convolver::inverseTransform(data.data(), N);
        const double tol = tolerance(N) * N / 2 / std::sqrt(N);
        for (int i = 0; i < N; ++i)
            ASSERT_NEAR(data[i], x[i] * (N / 2.0), tol) << "N " << N << " sample " << i;
    }
}

TEST(RealTransform, InvalidSizesLeaveTheDataUntouched)
{
    std::vector<float> data = randomSignal(24, 5);
    const std::vector<float> original = data;
    for (int N : {0, -8, 1, 3, 24}) {
        Convolver::realTransform(data.data(), N, 1);
        EXPECT_EQ(data, original) << "N " << N;
    }
}

TEST(ComplexTransform, MatchesDoublePrecisionDftInBothDirections)
{
    for (int n = 1; n <= 16384; n *= 2) {
        for (int direction : {1, -1}) {
            const std::vector<float> interleaved = randomSignal(2 * n, 11u * n);
            std::vector<Complex> x(n);
            for (int j = 0; j < n; ++j)
                x[j] = Complex(interleaved[2 * j], interleaved[2 * j + 1]);
            std::vector<float> data = interleaved;
            Convolver::complexTransform(data.data(), n, direction);
            const double tol = tolerance(2 * n);
            for (int k : binsToCheck(n, 13u * n)) {
                const Complex expected = dftBin(x, k, direction);
                EXPECT_NEAR(data[2 * k], expected.real(), tol) << "n " << n << " bin " << k;
                EXPECT_NEAR(data[2 * k + 1], expected.imag(), tol) << "n " << n << " bin " << k;
            }
        }
    }
}

TEST(ComplexTransform, RecurrenceFallbackMatchesTheTables)
{
    for (int n : {16, 256, 4096}) {
        for (int direction : {1, -1}) {
            std::vector<float> fast = randomSignal(2 * n, 17u * n);
            std::vector<float> slow = fast;
            Convolver::complexTransform(fast.data(), n, direction);
            dsp::fft::recurrenceComplexTransform(slow.data(), n, direction);
            for (int i = 0; i < 2 * n; ++i)
                ASSERT_NEAR(fast[i], slow[i], tolerance(2 * n)) << "n " << n << " float " << i;
        }
    }
}

// The eight-lane passes round every product and sum as the four-lane ones do: any difference in
// a bit is a wrong index, lane order or twiddle, not rounding.
TEST(TableTransform, WidestPassesGiveTheSameBitsAsFourLanes)
{
    if (!dsp::fft::avxTransformsAvailable())
        GTEST_SKIP() << "no AVX2 on this processor";
    using dsp::fft::TableFftWidth;
    for (int log2N = 5; log2N <= 15; ++log2N) {
        const int N = 1 << log2N;
        for (int direction : {1, -1}) {
            const std::vector<float> x = randomSignal(N, 19u * N + direction);
            std::vector<float> wide = x;
            std::vector<float> narrow = x;
            ASSERT_TRUE(dsp::fft::tableRealTransform(wide.data(), N, direction));
            ASSERT_TRUE(dsp::fft::tableRealTransform(narrow.data(), N, direction,
                                                     TableFftWidth::FourLanes));
            ASSERT_EQ(wide, narrow) << "real N " << N << " direction " << direction;
            wide = x;
            narrow = x;
            ASSERT_TRUE(dsp::fft::tableComplexTransform(wide.data(), N / 2, direction));
            ASSERT_TRUE(dsp::fft::tableComplexTransform(narrow.data(), N / 2, direction,
                                                        TableFftWidth::FourLanes));
            ASSERT_EQ(wide, narrow) << "complex n " << N / 2 << " direction " << direction;
        }
    }
}

} // namespace
