// The analog delay's own cost per sample in a stomp slot, at 44.1 kHz in
// 64-frame pieces: the stomp chain with the delay in slot 0 beside the same
// chain with six empty slots, so that the difference is the delay's. Each
// configuration also plays silence after its signal, to show that silence
// costs no more than sound.
#include "BenchMain.h"

#include "engine/host/ModuleHost.h"
#include "models/stomps/MemoryMan.h"
#include "models/stomps/StompSelector.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace AudioEngine;

namespace {

constexpr std::uint32_t kPiece = 64;

struct ChainCreators : ModuleSelectorDetails::ModuleCreators {
    ChainCreators() { add<BorvanQom::StompChain>("Stomps"); }
};
struct ChainTraits {
    using Creators = ChainCreators;
};

ModuleSetDescription chainDescription()
{
    ModuleSetDescription d;
    d.modules = {{"Stomps", "StompModule"}};
    d.hostInputs.insert({"In", {"StompModule", "In"}});
    d.hostOutputs.insert({"Out", {"StompModule", "Out"}});
    return d;
}

enum class Setting { Empty, DepthZero, Sweeping, Gliding };

// The chain in a module host, fed host blocks of one piece each.
struct ChainRig {
    explicit ChainRig(Setting setting) : host(chainDescription()), input(kPiece), output(kPiece)
    {
        ModuleSetBase& set = host.getModuleSet();
        if (setting != Setting::Empty) {
            set.setParameter("Stomp_0_StompModule", 8.0f); // "AnalogDelay"
            set.setParameter("Delay_0_StompModule", 350.0f);
            set.setParameter("Feedback_0_StompModule", 0.6f);
        }
        if (setting == Setting::Sweeping || setting == Setting::Gliding) {
            set.setParameter("Depth_0_StompModule", 0.4f);
            set.setParameter("Mode_0_StompModule", 1.0f);
        }
        // A bass note's worth of signal: 82 Hz with some noise.
        std::mt19937 random(5);
        std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
        signal.resize(44100);
        for (std::size_t i = 0; i < signal.size(); ++i)
            signal[i] =
                0.4f * std::sin(2.0f * 3.14159265f * 82.0f * float(i) / 44100.0f) + noise(random);
        gliding = setting == Setting::Gliding;
        play(2 * 44100 / kPiece, true); // past the first ramp, hold and fades
    }

    void play(std::uint32_t pieces, bool sound)
    {
        for (std::uint32_t p = 0; p < pieces; ++p)
            step(sound);
    }

    void step(bool sound)
    {
        if (sound)
            for (std::uint32_t i = 0; i < kPiece; ++i) {
                input[i] = signal[position];
                position = position + 1 == signal.size() ? 0 : position + 1;
            }
        else
            std::fill(input.begin(), input.end(), 0.0f);
        // A knob turned back and forth: a new "Delay" every 0.1 s keeps the
        // line ramping and the sweep held.
        if (gliding && ++pieceCount % 69 == 0) {
            longer = !longer;
            host.getModuleSet().setParameter("Delay_0_StompModule", longer ? 420.0f : 180.0f);
        }
        const float* in[] = {input.data()};
        float* out[] = {output.data()};
        host.processHost(in, out, kPiece);
    }

    ModuleHost<ChainTraits> host;
    std::vector<float> signal, input, output;
    std::size_t position = 0;
    std::uint64_t pieceCount = 0;
    bool gliding = false;
    bool longer = false;
};

void run(benchmark::State& state, Setting setting, bool sound)
{
    ChainRig rig(setting);
    if (!sound)
        rig.play(10 * 44100 / kPiece, false); // the tail has died into denormal range and beyond
    for (auto _ : state)
        rig.step(sound);
    // Seconds per sample (printed with an SI prefix: "n" is nanoseconds).
    state.counters["per_sample"] =
        benchmark::Counter(double(state.iterations()) * kPiece,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ChainEmpty(benchmark::State& state)
{
    run(state, Setting::Empty, true);
}
void BM_ChainDelayDepthZero(benchmark::State& state)
{
    run(state, Setting::DepthZero, true);
}
void BM_ChainDelaySweeping(benchmark::State& state)
{
    run(state, Setting::Sweeping, true);
}
void BM_ChainDelayGliding(benchmark::State& state)
{
    run(state, Setting::Gliding, true);
}
void BM_ChainDelayDepthZeroSilence(benchmark::State& state)
{
    run(state, Setting::DepthZero, false);
}
void BM_ChainDelaySweepingSilence(benchmark::State& state)
{
    run(state, Setting::Sweeping, false);
}

BENCHMARK(BM_ChainEmpty);
BENCHMARK(BM_ChainDelayDepthZero);
BENCHMARK(BM_ChainDelaySweeping);
BENCHMARK(BM_ChainDelayGliding);
BENCHMARK(BM_ChainDelayDepthZeroSilence);
BENCHMARK(BM_ChainDelaySweepingSilence);

// One piece of 64 frames at 44.1 kHz lasts 1451247 ns.
constexpr double kPieceNs = 1e9 * kPiece / 44100.0;
BENCH_COMPARE(depthZero, "analog delay in a slot, depth 0, vs the empty chain",
              "BM_ChainDelayDepthZero", "BM_ChainEmpty", kPieceNs);
BENCH_COMPARE(sweeping, "analog delay in a slot, vibrato at depth 0.4, vs the empty chain",
              "BM_ChainDelaySweeping", "BM_ChainEmpty", kPieceNs);
BENCH_COMPARE(gliding,
              "analog delay in a slot, depth 0.4 while \"Delay\" ramps, vs the empty chain",
              "BM_ChainDelayGliding", "BM_ChainEmpty", kPieceNs);
BENCH_COMPARE(silenceZero, "analog delay at depth 0: silence vs signal",
              "BM_ChainDelayDepthZeroSilence", "BM_ChainDelayDepthZero");
BENCH_COMPARE(silenceSweep, "analog delay at depth 0.4: silence vs signal",
              "BM_ChainDelaySweepingSilence", "BM_ChainDelaySweeping");

} // namespace
