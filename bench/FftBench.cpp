// The real FFT against FFTW, the convolver against a direct-form loop, the incremental FFT's
// per-call cost and the response synthesis the cabinet runs when it prepares a set.
#include "BenchMain.h"
#include "tests/support/Signals.h"

#include "engine/dsp/Convolver.h"
#include "engine/dsp/FFTPlan.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

using dsp::FFTPlan;
using dsp::Domain::OldConvolvers::Convolver;

constexpr double kRate = 44100.0;

using test::randomSignal;

// ---- Real FFT. Ours works in place, so each iteration first restores the input (a copy FFTW's
// out-of-place forward transform does not need: the comparison is conservative for ours). FFTW's
// inverse destroys its input, so both inverse benchmarks restore it.

void BM_OursRealForward(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    const std::vector<float> input = randomSignal(N, 1);
    std::vector<float> data(static_cast<size_t>(N));
    for (auto _ : state) {
        std::memcpy(data.data(), input.data(), sizeof(float) * N);
        Convolver::forwardTransform(data.data(), N);
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
}

void BM_OursRealInverse(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    std::vector<float> spectrum = randomSignal(N, 2);
    Convolver::forwardTransform(spectrum.data(), N);
    std::vector<float> data(static_cast<size_t>(N));
    for (auto _ : state) {
        std::memcpy(data.data(), spectrum.data(), sizeof(float) * N);
        Convolver::inverseTransform(data.data(), N);
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
}

void BM_FftwRealForward(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    float* in = fftwf_alloc_real(N);
    fftwf_complex* out = fftwf_alloc_complex(N / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(N, in, out, FFTW_MEASURE);
    const std::vector<float> input = randomSignal(N, 1);
    std::memcpy(in, input.data(), sizeof(float) * N);
    for (auto _ : state) {
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(out);
    fftwf_free(in);
}

void BM_FftwRealInverse(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    fftwf_complex* in = fftwf_alloc_complex(N / 2 + 1);
    float* out = fftwf_alloc_real(N);
    fftwf_plan plan = fftwf_plan_dft_c2r_1d(N, in, out, FFTW_MEASURE);
    const std::vector<float> spectrum = randomSignal(N + 2, 2);
    for (auto _ : state) {
        std::memcpy(in, spectrum.data(), sizeof(float) * (N + 2));
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(out);
    fftwf_free(in);
}

#define FFT_SIZES RangeMultiplier(2)->Range(64, 32768)
BENCHMARK(BM_OursRealForward)->FFT_SIZES;
BENCHMARK(BM_FftwRealForward)->FFT_SIZES;
BENCHMARK(BM_OursRealInverse)->FFT_SIZES;
BENCHMARK(BM_FftwRealInverse)->FFT_SIZES;

// Goal: at most 1.4 times FFTW's time at every size, each way (CPU time; medians when the run
// repeats, as it should on a shared machine: --benchmark_repetitions=9).
constexpr double kFftGoalRatio = 1.4;
#define FFT_COMPARE(N)                                                                             \
    BENCH_COMPARE(forward##N, "realTransform forward N=" #N " vs FFTW r2c",                        \
                  "BM_OursRealForward/" #N, "BM_FftwRealForward/" #N);                             \
    BENCH_COMPARE(inverse##N, "realTransform inverse N=" #N " vs FFTW c2r",                        \
                  "BM_OursRealInverse/" #N, "BM_FftwRealInverse/" #N);                             \
    BENCH_RATIO_GOAL(forwardGoal##N, "realTransform forward N=" #N " against FFTW r2c",            \
                     "BM_OursRealForward/" #N, "BM_FftwRealForward/" #N, kFftGoalRatio);           \
    BENCH_RATIO_GOAL(inverseGoal##N, "realTransform inverse N=" #N " against FFTW c2r",            \
                     "BM_OursRealInverse/" #N, "BM_FftwRealInverse/" #N, kFftGoalRatio)
FFT_COMPARE(64);
FFT_COMPARE(128);
FFT_COMPARE(256);
FFT_COMPARE(512);
FFT_COMPARE(1024);
FFT_COMPARE(2048);
FFT_COMPARE(4096);
FFT_COMPARE(8192);
FFT_COMPARE(16384);
FFT_COMPARE(32768);

// ---- Convolution in 64-sample pieces. Argument: woofer length; 2304 is the cabinet's 2048-point
// woofer together with its 256-point tweeter (two convolvers on the same input).

constexpr int kPiece = 64;

void setCounters(benchmark::State& state)
{
    state.counters["time_per_sample"] = benchmark::Counter(
        kPiece, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["x_realtime_44k1"] =
        benchmark::Counter(kPiece / kRate, benchmark::Counter::kIsIterationInvariantRate);
}

std::vector<int> splitLengths(int total)
{
    return total == 2304 ? std::vector{2048, 256} : std::vector{total};
}

void runConvolvers(benchmark::State& state, dsp::Domain::OldConvolvers::ConvolverKernel kernel)
{
    std::vector<Convolver> convolvers(splitLengths(static_cast<int>(state.range(0))).size());
    const std::vector<int> lengths = splitLengths(static_cast<int>(state.range(0)));
    for (size_t c = 0; c < lengths.size(); ++c) {
        const std::vector<float> impulse = randomSignal(lengths[c], 10u + c);
        convolvers[c].setImpulse(impulse.data(), lengths[c]);
        convolvers[c].selectKernel(kernel);
    }
    const std::vector<float> input = randomSignal(kPiece * 64, 3);
    std::vector<float> out(kPiece);
    std::vector<float> other(kPiece);
    size_t offset = 0;
    for (auto _ : state) {
        const float* in = input.data() + offset;
        convolvers[0].process(out.data(), in, kPiece);
        if (convolvers.size() > 1) {
            convolvers[1].process(other.data(), in, kPiece);
            for (int i = 0; i < kPiece; ++i)
                out[i] += 3.16f * other[i];
        }
        benchmark::DoNotOptimize(out.data());
        offset = (offset + kPiece) % input.size();
    }
    setCounters(state);
}

namespace kernels = dsp::Domain::OldConvolvers;
void BM_ConvolverAvx(benchmark::State& state)
{
    if (!kernels::avxAvailable()) {
        state.SkipWithError("no AVX on this processor");
        return;
    }
    runConvolvers(state, kernels::avxKernel);
}
void BM_ConvolverAvx512(benchmark::State& state)
{
    if (!kernels::avx512Available()) {
        state.SkipWithError("no AVX-512 on this processor");
        return;
    }
    runConvolvers(state, kernels::avx512Kernel);
}
void BM_ConvolverSse(benchmark::State& state)
{
    runConvolvers(state, kernels::sseKernel);
}
void BM_ConvolverPlain(benchmark::State& state)
{
    runConvolvers(state, kernels::plainKernel);
}

// The reference: y[n] = sum of h[i] x[n - i] over a linear history, the loop a compiler sees
// in textbook code.
class DirectForm {
public:
    explicit DirectForm(std::vector<float> impulse)
        : h(std::move(impulse)), history(h.size() - 1 + kPiece, 0.0f)
    {
    }
    void process(float* out, const float* in)
    {
        const size_t L = h.size();
        std::copy(in, in + kPiece, history.begin() + static_cast<long>(L - 1));
        for (int n = 0; n < kPiece; ++n) {
            const float* x = history.data() + L - 1 + n;
            float sum = 0.0f;
            for (size_t i = 0; i < L; ++i)
                sum += h[i] * x[-static_cast<long>(i)];
            out[n] = sum;
        }
        std::copy(history.end() - static_cast<long>(L - 1), history.end(), history.begin());
    }

private:
    std::vector<float> h;
    std::vector<float> history;
};

void BM_DirectForm(benchmark::State& state)
{
    const std::vector<int> lengths = splitLengths(static_cast<int>(state.range(0)));
    std::vector<DirectForm> filters;
    for (size_t c = 0; c < lengths.size(); ++c)
        filters.emplace_back(randomSignal(lengths[c], 10u + c));
    const std::vector<float> input = randomSignal(kPiece * 64, 3);
    std::vector<float> out(kPiece);
    std::vector<float> other(kPiece);
    size_t offset = 0;
    for (auto _ : state) {
        const float* in = input.data() + offset;
        filters[0].process(out.data(), in);
        if (filters.size() > 1) {
            filters[1].process(other.data(), in);
            for (int i = 0; i < kPiece; ++i)
                out[i] += 3.16f * other[i];
        }
        benchmark::DoNotOptimize(out.data());
        offset = (offset + kPiece) % input.size();
    }
    setCounters(state);
}

#define CONVOLVER_LENGTHS Arg(256)->Arg(1024)->Arg(2048)->Arg(2304)
BENCHMARK(BM_ConvolverAvx512)->CONVOLVER_LENGTHS;
BENCHMARK(BM_ConvolverAvx)->CONVOLVER_LENGTHS;
BENCHMARK(BM_ConvolverSse)->CONVOLVER_LENGTHS;
BENCHMARK(BM_ConvolverPlain)->CONVOLVER_LENGTHS;
BENCHMARK(BM_DirectForm)->CONVOLVER_LENGTHS;

#define CONVOLVER_COMPARE(L, label)                                                                \
    BENCH_COMPARE(avx512##L, "convolver AVX-512 " label " vs direct form",                         \
                  "BM_ConvolverAvx512/" #L, "BM_DirectForm/" #L);                                  \
    BENCH_COMPARE(avx512avx##L, "convolver AVX-512 " label " vs the AVX kernel",                   \
                  "BM_ConvolverAvx512/" #L, "BM_ConvolverAvx/" #L);                                \
    BENCH_COMPARE(avx##L, "convolver AVX " label " vs direct form", "BM_ConvolverAvx/" #L,         \
                  "BM_DirectForm/" #L);                                                            \
    BENCH_COMPARE(sse##L, "convolver SSE " label " vs direct form", "BM_ConvolverSse/" #L,         \
                  "BM_DirectForm/" #L);                                                            \
    BENCH_COMPARE(plain##L, "convolver plain " label " vs direct form", "BM_ConvolverPlain/" #L,   \
                  "BM_DirectForm/" #L)
CONVOLVER_COMPARE(256, "L=256");
CONVOLVER_COMPARE(1024, "L=1024");
CONVOLVER_COMPARE(2048, "L=2048");
CONVOLVER_COMPARE(2304, "L=2048+256");

// ---- Incremental FFT, 64 progress units per call, as the tuner drives it. Each iteration is one
// frame; every call is timed on its own. "mean_call_ns" and "worst_call_ns" are over all calls;
// "worst_typical_ns" is the largest per-call-position median, which shows the pacing without the
// scheduler's occasional spikes.

void BM_FftPlanFrame(benchmark::State& state)
{
    const int N = static_cast<int>(state.range(0));
    const int calls = N / 64;
    FFTPlan plan;
    plan.configure(N, static_cast<int>(state.range(1)));
    const std::vector<float> input = randomSignal(N, 4);
    std::vector<float> data(static_cast<size_t>(N));
    std::vector<std::vector<double>> perCall(static_cast<size_t>(calls));
    double total = 0.0;
    double worst = 0.0;
    long count = 0;
    for (auto _ : state) {
        std::memcpy(data.data(), input.data(), sizeof(float) * N);
        plan.startFrame(data.data());
        for (int c = 0; c < calls; ++c) {
            const auto start = std::chrono::steady_clock::now();
            plan.advance((c + 1) * 64);
            const auto stop = std::chrono::steady_clock::now();
            const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
            total += ns;
            worst = std::max(worst, ns);
            ++count;
            if (perCall[c].size() < 4096)
                perCall[c].push_back(ns);
        }
        benchmark::DoNotOptimize(data.data());
    }
    double worstTypical = 0.0;
    for (std::vector<double>& times : perCall) {
        if (times.empty())
            continue;
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        worstTypical = std::max(worstTypical, times[times.size() / 2]);
    }
    const double mean = count ? total / count : 0.0;
    state.counters["mean_call_ns"] = mean;
    state.counters["worst_call_ns"] = worst;
    state.counters["worst_over_mean"] = mean > 0 ? worst / mean : 0.0;
    state.counters["worst_typical_ns"] = worstTypical;
    state.counters["worst_typical_over_mean"] = mean > 0 ? worstTypical / mean : 0.0;
}

BENCHMARK(BM_FftPlanFrame)->Args({4096, 1})->Args({4096, -1})->Args({8192, 1})->Args({8192, -1});
BENCH_COMPARE(planFrame4096, "FFTPlan frame N=4096 (64 calls) vs one realTransform",
              "BM_FftPlanFrame/4096/1", "BM_OursRealForward/4096");
BENCH_COMPARE(planFrame8192, "FFTPlan frame N=8192 (128 calls) vs one realTransform",
              "BM_FftPlanFrame/8192/1", "BM_OursRealForward/8192");

// ---- Response synthesis of the cabinet: three 32768-point spectra combined into 2048 samples,
// at the stored rate and at 48 kHz. A set preparation runs 288 of these.

void BM_ResampleImpulse(benchmark::State& state)
{
    const int N = 32768;
    const int M = 2048;
    const float target = static_cast<float>(state.range(0));
    std::vector<std::vector<float>> spectra;
    for (unsigned s = 0; s < 3; ++s) {
        std::vector<float> x(N, 0.0f);
        const std::vector<float> impulse = randomSignal(8192, 20 + s);
        std::copy(impulse.begin(), impulse.end(), x.begin());
        Convolver::forwardTransform(x.data(), N);
        spectra.push_back(std::move(x));
    }
    const float* pointers[3] = {spectra[0].data(), spectra[1].data(), spectra[2].data()};
    std::vector<float> output(M);
    for (auto _ : state) {
        Convolver::resampleImpulse(pointers, 3, N, 44100.0f, output.data(), M, target);
        benchmark::DoNotOptimize(output.data());
    }
}

BENCHMARK(BM_ResampleImpulse)->Arg(44100)->Arg(48000)->Unit(benchmark::kMillisecond);

} // namespace
