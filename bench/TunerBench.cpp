// The tuner engine's cost per 64-sample chunk over a long run with a note sounding: the mean, the
// worst chunk and their ratio, and the worst as a share of the chunk's real-time budget. The
// analysis is spread over the chunks of each frame, so the worst should stay near the mean.
//
// The single worst chunk of a long run on a shared machine is mostly the scheduler's doing (a
// preemption in the middle of a chunk), so the run also gives the structural worst: the chunks are
// grouped by their position within the frame (N / 64 positions), and the dearest position's
// median is what that stage of the analysis costs.
#include "BenchMain.h"

#include "engine/dsp/TunerEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

using dsp::Domain::Pitch::TunerEngine;

constexpr int kChunk = 64;

void BM_TunerChunk(benchmark::State& state)
{
    const double hertz = static_cast<double>(state.range(0)) / 1000.0;
    const float rate = static_cast<float>(state.range(1));
    TunerEngine engine;
    engine.setSampleRate(rate);

    // A -20 dBFS tone with a few partials, generated outside the timed region.
    const double step = 2.0 * std::numbers::pi * hertz / rate;
    double phase = 0.0;
    float in[kChunk], out[kChunk];
    auto fill = [&] {
        for (float& x : in) {
            x = static_cast<float>(0.06 * std::sin(phase) + 0.03 * std::sin(2.0 * phase) +
                                   0.01 * std::sin(3.0 * phase));
            phase = std::fmod(phase + step, 2.0 * std::numbers::pi);
        }
    };
    // Until the note reads.
    for (long t = 0; t < static_cast<long>(rate); t += kChunk) {
        fill();
        engine.process(in, out, kChunk);
    }
    if (!engine.isValid()) {
        state.SkipWithError("no note read before the run");
        return;
    }

    const int positions = engine.getDetector().getACF().getSize() / kChunk;
    std::vector<std::vector<double>> byPosition(static_cast<std::size_t>(positions));
    for (auto& times : byPosition)
        times.reserve(static_cast<std::size_t>(state.max_iterations / positions + 1));
    double total = 0.0, worst = 0.0;
    long chunks = 0;
    int invalid = 0;
    int overGoal = 0; // chunks dearer than 2 % of their budget
    const double goal = 0.02 * 1e9 * kChunk / rate;
    for (auto _ : state) {
        fill();
        const auto begin = std::chrono::steady_clock::now();
        engine.process(in, out, kChunk);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(out);
        const double ns = std::chrono::duration<double, std::nano>(end - begin).count();
        state.SetIterationTime(ns * 1e-9);
        total += ns;
        worst = std::max(worst, ns);
        overGoal += ns > goal ? 1 : 0;
        byPosition[static_cast<std::size_t>(chunks % positions)].push_back(ns);
        ++chunks;
        invalid += engine.isValid() ? 0 : 1;
    }
    double structural = 0.0;
    for (auto& times : byPosition) {
        if (times.empty())
            continue;
        std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
        structural = std::max(structural, times[times.size() / 2]);
    }
    const double mean = total / static_cast<double>(chunks);
    const double budget = 1e9 * kChunk / rate;
    state.counters["mean_ns"] = mean;
    state.counters["worst_ns"] = worst;
    state.counters["worst_per_mean"] = worst / mean;
    state.counters["worst_pct_budget"] = 100.0 * worst / budget;
    state.counters["structural_worst_ns"] = structural;
    state.counters["chunks_without_note"] = invalid;
    state.counters["chunks_over_2pct"] = overGoal;
    std::printf(
        "TUNER %.3f Hz at %.0f Hz: mean %.0f ns, worst %.0f ns, worst/mean %.1f (%.2f %% of the "
        "%.0f ns budget); structural worst %.0f ns, /mean %.2f (%.3f %% of the budget); %d of %ld "
        "chunks over 2 %%\n",
        hertz, double(rate), mean, worst, worst / mean, 100.0 * worst / budget, budget, structural,
        structural / mean, 100.0 * structural / budget, overGoal, chunks);
}

// Pitch in millihertz, rate in hertz; about 100 s of audio each.
BENCHMARK(BM_TunerChunk)
    ->Args({41203, 44100})  // E1
    ->Args({110000, 44100}) // A2
    ->Args({55000, 96000})  // A1
    ->UseManualTime()
    ->Iterations(150000)
    ->Unit(benchmark::kNanosecond);

} // namespace
