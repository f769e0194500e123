// Per-sample costs of the shared math: spline evaluation (binary search on the
// compressor's 1018- and 2001-knot double curves, the uniform finder on a
// power amp's 181-knot float curve) against a linear-interpolation table lookup
// over the same knots (goal for the uniform finder: within 3x); and the biquad
// direct-form-I step, mono and stereo interleaved, against a minimal scalar loop
// doing the same arithmetic (goal: within 1.2x).
#include "BenchMain.h"

#include "engine/math/BiquadFilter.h"
#include "engine/math/SplineCubic.h"
#include "engine/math/utils/BiquadFilter.h"
#include "tests/engine/math/FilterHarness.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::AudioMath;

namespace {

constexpr int kCalls = 1024; // evaluations per benchmark iteration

template <class T, SplineFinder F> struct BenchTraits {
    using Curve = Curve2<Curve2Traits<T>>;
    static constexpr SplineEnds ends = SplineEnds::Clamped;
    static constexpr SplineFinder finder = F;
    static constexpr T startSlope = 0;
    static constexpr T endSlope = 0;
};

// A soft clipper sampled on `count` knots over [-1, 1].
template <class T> Curve2<Curve2Traits<T>> clipper(int count)
{
    std::vector<T> table(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        table[static_cast<std::size_t>(i)] =
            static_cast<T>(std::tanh(3.0 * (2.0 * i / (count - 1) - 1.0)));
    return Curve2<Curve2Traits<T>>(table.data(), count, -1.0f, 1.0f);
}

template <class T> std::vector<T> inputs()
{
    std::mt19937 generator(42);
    std::uniform_real_distribution<double> uniform(-0.999, 0.999);
    std::vector<T> x(kCalls);
    for (T& v : x)
        v = static_cast<T>(uniform(generator));
    return x;
}

// Linear interpolation on evenly spaced samples: the cheapest curve lookup.
template <class T> class LinearTable {
public:
    explicit LinearTable(const Curve2<Curve2Traits<T>>& knots)
        : x0_(knots.front().x),
          scale_(static_cast<T>(knots.size() - 1) / (knots.back().x - knots.front().x)),
          last_(static_cast<int>(knots.size()) - 2)
    {
        for (const auto& k : knots)
            y_.push_back(k.y);
    }
    T operator()(T x) const
    {
        const T t = (x - x0_) * scale_;
        int i = static_cast<int>(t);
        i = i < 0 ? 0 : (i > last_ ? last_ : i);
        const T f = t - static_cast<T>(i);
        return y_[static_cast<std::size_t>(i)] +
               f * (y_[static_cast<std::size_t>(i) + 1] - y_[static_cast<std::size_t>(i)]);
    }

private:
    T x0_, scale_;
    int last_;
    std::vector<T> y_;
};

template <class T, SplineFinder F> void BM_Spline(benchmark::State& state)
{
    const SplineCubic<BenchTraits<T, F>> spline(clipper<T>(static_cast<int>(state.range(0))));
    const std::vector<T> x = inputs<T>();
    std::vector<T> y(x.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < x.size(); ++i) {
            if constexpr (F == SplineFinder::Uniform)
                y[i] = spline.evaluateUniform(x[i]);
            else
                y[i] = spline.evaluate(x[i]);
        }
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(kCalls),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <class T> void BM_LinearLookup(benchmark::State& state)
{
    const LinearTable<T> table(clipper<T>(static_cast<int>(state.range(0))));
    const std::vector<T> x = inputs<T>();
    std::vector<T> y(x.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < x.size(); ++i)
            y[i] = table(x[i]);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_call"] = benchmark::Counter(
        static_cast<double>(kCalls),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_Spline<double, SplineFinder::BinarySearch>)
    ->Name("BM_SplineBinaryDouble")
    ->Arg(1018)
    ->Arg(2001);
BENCHMARK(BM_Spline<float, SplineFinder::Uniform>)->Name("BM_SplineUniformFloat")->Arg(181);
BENCHMARK(BM_LinearLookup<double>)->Name("BM_LinearLookupDouble")->Arg(1018)->Arg(2001);
BENCHMARK(BM_LinearLookup<float>)->Name("BM_LinearLookupFloat")->Arg(181);

BENCH_COMPARE(splineBinary1018,
              "spline, binary search, 1018 knots (double), 1024 calls, vs linear lookup",
              "BM_SplineBinaryDouble/1018", "BM_LinearLookupDouble/1018");
BENCH_COMPARE(splineBinary2001,
              "spline, binary search, 2001 knots (double), 1024 calls, vs linear lookup",
              "BM_SplineBinaryDouble/2001", "BM_LinearLookupDouble/2001");
BENCH_COMPARE(splineUniform181,
              "spline, uniform finder, 181 knots (float), 1024 calls, vs linear lookup",
              "BM_SplineUniformFloat/181", "BM_LinearLookupFloat/181");

// --- Biquad direct form I -------------------------------------------------

constexpr int kFrames = 1024;

BiquadZ lowPass()
{
    utils::BiquadFilter f;
    f.setup(1, 48000);
    f.designLowPass(2.0f * 3.14159265f * 2000.0f, 0.7f);
    return f.getCoefficients();
}

std::vector<float> signal(int count)
{
    std::vector<float> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[static_cast<std::size_t>(i)] =
            std::sin(0.05f * static_cast<float>(i)) + 0.1f * std::sin(1.3f * static_cast<float>(i));
    return v;
}

inline float flushed(float y)
{
    return std::fabs(y) < 1.17549435e-38f ? 0.0f : y;
}

// The minimal loop: the same double arithmetic and output flush as the
// utility, state in locals, nothing else; stereo runs both channels' chains in
// the one pass over the interleaved frames, as any sensible loop would.
struct Df1State {
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

inline float df1Step(float x, const BiquadZ& k, Df1State& s)
{
    const float y =
        flushed(static_cast<float>(double(k.b0) * x + double(k.b1) * s.x1 + double(k.b2) * s.x2 -
                                   double(k.a1) * s.y1 - double(k.a2) * s.y2));
    s.x2 = s.x1, s.x1 = x, s.y2 = s.y1, s.y1 = y;
    return y;
}

[[gnu::noinline]] void minimalDf1(float* out, const float* in, int frames, int channels,
                                  const BiquadZ& k, Df1State* state)
{
    if (channels == 2) {
        Df1State l = state[0], r = state[1];
        for (int f = 0; f < frames; ++f) {
            out[2 * f] = df1Step(in[2 * f], k, l);
            out[2 * f + 1] = df1Step(in[2 * f + 1], k, r);
        }
        state[0] = l, state[1] = r;
    } else {
        Df1State m = state[0];
        for (int f = 0; f < frames; ++f)
            out[f] = df1Step(in[f], k, m);
        state[0] = m;
    }
}

void BM_UtilityBiquad(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    utils::BiquadFilter filter;
    filter.setup(channels, 48000);
    const BiquadZ k = lowPass();
    filter.setCoefficients(k.b0, k.b1, k.b2, k.a1, k.a2);
    const std::vector<float> in = signal(kFrames * channels);
    std::vector<float> out(in.size());
    for (auto _ : state) {
        filter.processBlock(out.data(), in.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_MinimalDf1(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const BiquadZ k = lowPass();
    const std::vector<float> in = signal(kFrames * channels);
    std::vector<float> out(in.size());
    Df1State memory[2];
    for (auto _ : state) {
        minimalDf1(out.data(), in.data(), kFrames, channels, k, memory);
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(BM_UtilityBiquad)->Arg(1)->Arg(2);
BENCHMARK(BM_MinimalDf1)->Arg(1)->Arg(2);
BENCH_COMPARE(biquadMono, "utility biquad DF-I, mono, 1024 frames, vs minimal loop",
              "BM_UtilityBiquad/1", "BM_MinimalDf1/1");
BENCH_COMPARE(biquadStereo, "utility biquad DF-I, stereo interleaved, 1024 frames, vs minimal loop",
              "BM_UtilityBiquad/2", "BM_MinimalDf1/2");

// The module's single-precision step through process(), 64-sample pieces.
[[gnu::noinline]] void minimalDf1Float(float* out, const float* in, int frames, const BiquadZ& k,
                                       float* state)
{
    float x1 = state[0], x2 = state[1], y1 = state[2], y2 = state[3];
    for (int f = 0; f < frames; ++f) {
        const float x = in[f];
        const float y = flushed(k.b2 * x2 + k.b0 * x + k.b1 * x1 - k.a1 * y1 - k.a2 * y2);
        out[f] = y;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
    }
    state[0] = x1, state[1] = x2, state[2] = y1, state[3] = y2;
}

void BM_ModuleBiquad(benchmark::State& state)
{
    BiquadFilter<> filter;
    mathtest::Harness harness(filter);
    const BiquadZ k = lowPass();
    filter.setCoefficients(k.b0, k.b1, k.b2, k.a1, k.a2);
    const std::vector<float> in = signal(64);
    std::copy(in.begin(), in.end(), filter.getInput("In").getBuffer());
    for (auto _ : state) {
        filter.process();
        benchmark::DoNotOptimize(filter.getOutput("Out").getBuffer());
    }
}

void BM_MinimalDf1Float(benchmark::State& state)
{
    const BiquadZ k = lowPass();
    const std::vector<float> in = signal(64);
    std::vector<float> out(64);
    float memory[4] = {};
    for (auto _ : state) {
        minimalDf1Float(out.data(), in.data(), 64, k, memory);
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(BM_ModuleBiquad);
BENCHMARK(BM_MinimalDf1Float);
BENCH_COMPARE(biquadModule, "BiquadFilter module process(), 64 samples, vs minimal float loop",
              "BM_ModuleBiquad", "BM_MinimalDf1Float");

} // namespace
