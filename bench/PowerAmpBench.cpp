// The tube power amps at their two levels of detail, side by side: one 64-sample piece at
// 44.1 kHz through the whole power amp (level and post filter), and the rebuild of a supply
// solver that a rate change costs.
#include "BenchMain.h"

#include "engine/core/Environment.h"
#include "engine/core/Port.h"
#include "models/amps/power/PowerAmpTraits.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

constexpr std::uint32_t kPiece = 64;
constexpr float kRate = 44100.0f;

class BenchEnvironment : public Environment {
public:
    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return kPiece; }
    float getSampleRate() const override { return kRate; }
    std::int32_t getLatency() const override { return 0; }
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }
    std::uint32_t getChunkSize() const override { return kPiece; }
    void structureChanged() override {}
};

// A bass line's worth of signal: noise driving the stage from clean into clipping.
std::vector<float> signal(std::size_t count)
{
    std::mt19937 rng(12);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    std::vector<float> x(count);
    for (float& v : x)
        v = uniform(rng);
    return x;
}

template <class Amp> void runPowerAmp(benchmark::State& state, float level)
{
    BenchEnvironment environment;
    OutputBuffered source("Source", "", kPiece);
    Amp amp;
    amp.setInstanceName("PowerAmp");
    amp.build(&environment);
    amp.connect();
    amp.getInput("In").connect(&source);
    amp.resolveConnections();
    amp.bindPorts();
    amp.resetParametersToDefaults();
    amp.setParameter("DSM", level);
    amp.setParameter("Volume", 1.0f);
    const std::vector<float> x = signal(kPiece * 64);
    std::size_t offset = 0;
    for (auto _ : state) {
        std::copy_n(x.begin() + static_cast<std::ptrdiff_t>(offset), kPiece, source.getBuffer());
        offset = (offset + kPiece) % x.size();
        amp.process();
        benchmark::DoNotOptimize(amp.getOutput("Out").getBuffer()[kPiece - 1]);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPiece);
    state.counters["ns_per_sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kPiece,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_V9E_50W_Level0(benchmark::State& state)
{
    runPowerAmp<PowerAmpBorvanV9E_50W>(state, 0.0f);
}
void BM_V9E_50W_Level1(benchmark::State& state)
{
    runPowerAmp<PowerAmpBorvanV9E_50W>(state, 1.0f);
}
void BM_V9E_100W_Level0(benchmark::State& state)
{
    runPowerAmp<PowerAmpBorvanV9E_100W>(state, 0.0f);
}
void BM_V9E_100W_Level1(benchmark::State& state)
{
    runPowerAmp<PowerAmpBorvanV9E_100W>(state, 1.0f);
}
void BM_RKMClassic_Level0(benchmark::State& state)
{
    runPowerAmp<PowerAmpBorvanRKMClassicHead>(state, 0.0f);
}
void BM_RKMClassic_Level1(benchmark::State& state)
{
    runPowerAmp<PowerAmpBorvanRKMClassicHead>(state, 1.0f);
}

// What level 1 does on a rate change: discretise the supply and shear, resample and fit the
// diode curve.
template <class Solver> void rebuildSolver(benchmark::State& state)
{
    for (auto _ : state) {
        Solver solver(kRate);
        benchmark::DoNotOptimize(solver.getK());
    }
}

void BM_SolverRebuild_V9E(benchmark::State& state)
{
    rebuildSolver<PowerAmpBorvanV9EDetails::KMethod>(state);
}
void BM_SolverRebuild_RKMClassic(benchmark::State& state)
{
    rebuildSolver<PowerAmpBorvanRKMClassicHeadTraitsDetails::KMethod>(state);
}

} // namespace

BENCHMARK(BM_V9E_50W_Level0);
BENCHMARK(BM_V9E_50W_Level1);
BENCHMARK(BM_V9E_100W_Level0);
BENCHMARK(BM_V9E_100W_Level1);
BENCHMARK(BM_RKMClassic_Level0);
BENCHMARK(BM_RKMClassic_Level1);
BENCHMARK(BM_SolverRebuild_V9E)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolverRebuild_RKMClassic)->Unit(benchmark::kMicrosecond);

// ours = level 1, reference = level 0: the ratio is the price of the detailed model. A 64-sample
// piece at 44.1 kHz lasts 1451247 ns.
BENCH_COMPARE(v50, "V9E 50W power amp, level 1 / level 0, 64 samples at 44.1 kHz",
              "BM_V9E_50W_Level1", "BM_V9E_50W_Level0", 1451247.0);
BENCH_COMPARE(v100, "V9E 100W power amp, level 1 / level 0, 64 samples at 44.1 kHz",
              "BM_V9E_100W_Level1", "BM_V9E_100W_Level0", 1451247.0);
BENCH_COMPARE(rkm, "RKM Classic power amp, level 1 / level 0, 64 samples at 44.1 kHz",
              "BM_RKMClassic_Level1", "BM_RKMClassic_Level0", 1451247.0);

// Level 1 per sample against its goal; level 0 above is the reference it runs beside.
BENCH_GOAL(v50Goal, "level-1 power amp V9E 50W per sample", "BM_V9E_50W_Level1", "", 64.0, 45.0);
BENCH_GOAL(v100Goal, "level-1 power amp V9E 100W per sample", "BM_V9E_100W_Level1", "", 64.0, 45.0);
BENCH_GOAL(rkmGoal, "level-1 power amp RKM Classic per sample", "BM_RKMClassic_Level1", "", 64.0,
           45.0);
