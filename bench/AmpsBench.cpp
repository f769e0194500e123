// The four amp heads through the module host as the rig runs them ("Amps" into the output
// gain), at 44.1 kHz in host blocks of 256 frames of a real bass line: the cost per sample and
// the real-time factor (audio seconds per CPU second) of each head and level of detail; the
// longest single host block while "Model" switches every 0.5 s; and the CPU of 30 s of silence
// after a loud burst against 30 s of sound (silence must not cost more).
//
// The bass line is the one the build generates (bench/BassLine.h); RIG_BASS_LINE names another
// file.
#include "BassLine.h"
#include "BenchMain.h"

#include "tests/models/amps/AmpRig.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

using namespace amps;

constexpr std::uint32_t kBlock = 256;
constexpr double kRate = 44100.0;
constexpr double kBlockNs = 1e9 * kBlock / kRate; // 5804989 ns

// The heads as benchmarked: a model with its defaults at a level of detail and power mode.
struct Head {
    const char* name;
    Model model;
    float dsm;
    float watts;
};

constexpr Head kHeads[] = {
    {"RKMClassic_DSM0", Model::RKMClassic, 0.0f, 1.0f},
    {"RKMClassic_DSM1", Model::RKMClassic, 1.0f, 1.0f},
    {"V9E_50W_DSM0", Model::V9E, 0.0f, 0.0f},
    {"V9E_50W_DSM1", Model::V9E, 1.0f, 0.0f},
    {"V9E_100W_DSM0", Model::V9E, 0.0f, 1.0f},
    {"V9E_100W_DSM1", Model::V9E, 1.0f, 1.0f},
    {"RE500", Model::RE500, 0.0f, 1.0f},
    {"RKM4Pro", Model::RKM4Pro, 0.0f, 1.0f},
};

// The rig with one head chosen, fed the bass line (scaled by `level`) block by block.
struct HeadRig {
    explicit HeadRig(const Head& head) : input(kBlock), output(kBlock)
    {
        rig.choose(head.model, headDefaults(head.model, head.dsm, head.watts));
        settle();
    }

    // Past the switch's fade, the knobs' slews and the first transients.
    void settle() { play(static_cast<std::size_t>(kRate) / kBlock, 1.0f); }

    void step(float level)
    {
        const std::vector<float>& line = bench::bassLine();
        if (level == 0.0f || line.empty())
            std::fill(input.begin(), input.end(), 0.0f);
        else
            for (std::uint32_t i = 0; i < kBlock; ++i) {
                input[i] = level * line[position];
                position = position + 1 == line.size() ? 0 : position + 1;
            }
        const float* in[] = {input.data()};
        float* out[] = {output.data()};
        rig.host.processHost(in, out, kBlock);
    }

    void play(std::size_t blocks, float level)
    {
        for (std::size_t b = 0; b < blocks; ++b)
            step(level);
    }

    AmpRig rig;
    std::vector<float> input, output;
    std::size_t position = 0;
};

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void perSampleCounters(benchmark::State& state)
{
    const double samples = static_cast<double>(state.iterations()) * kBlock;
    // Seconds per sample (printed with an SI prefix: "n" is nanoseconds), and audio seconds per
    // CPU second.
    state.counters["per_sample"] =
        benchmark::Counter(samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] = benchmark::Counter(samples / kRate, benchmark::Counter::kIsRate);
}

// One host block of 256 frames of the bass line through a head.
void BM_Head(benchmark::State& state, const Head& head)
{
    HeadRig rig(head);
    for (auto _ : state) {
        rig.step(1.0f);
        benchmark::DoNotOptimize(rig.output[kBlock - 1]);
    }
    perSampleCounters(state);
}

// 30 s of the bass line, or 30 s of silence right after 2 s of it 4 times as loud (so that the
// tails decay through the denormal range while measured). Timed by the thread's CPU clock.
constexpr std::size_t kThirtySeconds = static_cast<std::size_t>(30.0 * kRate) / kBlock;

void BM_Thirty(benchmark::State& state, const Head& head, bool silence)
{
    for (auto _ : state) {
        state.PauseTiming();
        HeadRig rig(head);
        if (silence)
            rig.play(2 * static_cast<std::size_t>(kRate) / kBlock, 4.0f);
        state.ResumeTiming();
        const double start = threadCpuSeconds();
        rig.play(kThirtySeconds, silence ? 0.0f : 1.0f);
        state.SetIterationTime(threadCpuSeconds() - start);
        benchmark::DoNotOptimize(rig.output[kBlock - 1]);
    }
}

// "Model" switched every 0.5 s through the four heads (each followed by its settings, as the rig
// sends them), at level 0 on one round and level 1 on the next: the longest host block against the
// median one, in CPU time of the thread that runs them.
void BM_SwitchingLongestBlock(benchmark::State& state)
{
    constexpr Model kOrder[] = {Model::RKMClassic, Model::RE500, Model::RKM4Pro, Model::V9E};
    constexpr std::size_t kHalfSecond = static_cast<std::size_t>(0.5 * kRate) / kBlock;
    constexpr std::size_t kSwitches = 32;
    constexpr std::size_t kAfterSwitch =
        8; // the fade-out, the switch and the fade-in fall in these
    std::vector<double> blockNs;
    blockNs.reserve(kSwitches * kHalfSecond);
    double longest = 0.0, longestSwitch = 0.0;
    for (auto _ : state) {
        HeadRig rig(kHeads[0]);
        blockNs.clear();
        for (std::size_t s = 0; s < kSwitches; ++s) {
            const Model model = kOrder[(s + 1) % 4];
            const float dsm = (s / 4) % 2 == 0 ? 1.0f : 0.0f;
            rig.rig.choose(model, headDefaults(model, dsm, static_cast<float>((s / 8) % 2)));
            for (std::size_t b = 0; b < kHalfSecond; ++b) {
                const double start = threadCpuSeconds();
                rig.step(1.0f);
                const double ns = 1e9 * (threadCpuSeconds() - start);
                blockNs.push_back(ns);
                if (b < kAfterSwitch)
                    longestSwitch = std::max(longestSwitch, ns);
            }
        }
        longest = std::max(longest, *std::max_element(blockNs.begin(), blockNs.end()));
    }
    std::nth_element(blockNs.begin(),
                     blockNs.begin() + static_cast<std::ptrdiff_t>(blockNs.size() / 2),
                     blockNs.end());
    const double median = blockNs[blockNs.size() / 2];
    state.counters["longest_us"] = longest / 1e3;
    state.counters["longest_near_switch_us"] = longestSwitch / 1e3;
    state.counters["median_us"] = median / 1e3;
    std::printf("GOAL longest block with an amp switch (thread CPU): %.1f us, goal 500 us, ratio "
                "%.3f %s\n",
                longestSwitch / 1e3, longestSwitch / 5e5,
                longestSwitch <= 5e5 ? "(met)" : "(MISSED)");
    std::printf("SWITCHING every 0.5 s, %zu switches, host blocks of %u: longest block %.1f us "
                "(within %zu blocks "
                "of a switch: %.1f us), median %.1f us, budget %.1f us (%.1f %% used at worst)\n",
                kSwitches, kBlock, longest / 1e3, kAfterSwitch, longestSwitch / 1e3, median / 1e3,
                kBlockNs / 1e3, 100.0 * longest / kBlockNs);
}

const bool registered = [] {
    for (const Head& head : kHeads)
        benchmark::RegisterBenchmark((std::string("BM_Head/") + head.name).c_str(),
                                     [&head](benchmark::State& s) { BM_Head(s, head); });
    for (const Head& head : kHeads) {
        for (bool silence : {false, true})
            benchmark::RegisterBenchmark(
                (std::string(silence ? "BM_SilenceAfterBurst30s/" : "BM_Sound30s/") + head.name)
                    .c_str(),
                [&head, silence](benchmark::State& s) { BM_Thirty(s, head, silence); })
                ->UseManualTime()
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_SwitchingLongestBlock", BM_SwitchingLongestBlock)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

// Silence after a burst against sound, CPU seconds of 30 s of audio: the ratio must not exceed 1.
#define SILENCE_RATIO(id, head)                                                                    \
    BENCH_COMPARE(id, head ": CPU of 30 s silence after a burst / 30 s of sound",                  \
                  "BM_SilenceAfterBurst30s/" head "/iterations:1/manual_time",                     \
                  "BM_Sound30s/" head "/iterations:1/manual_time")
SILENCE_RATIO(s0, "RKMClassic_DSM0");
SILENCE_RATIO(s1, "RKMClassic_DSM1");
SILENCE_RATIO(s2, "V9E_50W_DSM0");
SILENCE_RATIO(s3, "V9E_50W_DSM1");
SILENCE_RATIO(s4, "V9E_100W_DSM0");
SILENCE_RATIO(s5, "V9E_100W_DSM1");
SILENCE_RATIO(s6, "RE500");
SILENCE_RATIO(s7, "RKM4Pro");

} // namespace
