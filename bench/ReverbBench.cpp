// The mixer effects per 64-frame chunk: the "Ambience" module with sound, with
// silence after a tail, and through the last 120 dB of a tail (where a line
// that kept subnormals would slow down), each against the sound run; and the
// resonant cutoff with one, two and four poles, its bank redesigned every
// piece, against a plain copy of the piece. The real-time budget of a chunk is
// 64 / 44100 s; the goal is at most 1 % of it per chunk and no slow-down on
// silence (ratio at most 1.2).
#include "BenchMain.h"

#include "engine/core/Port.h"
#include "engine/dsp/ResonantCutoff.h"
#include "engine/modules/ReverbAmbience.h"
#include "tests/engine/core/TestModules.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kChunk = 64;
constexpr double kBudgetNs = 1e9 * kChunk / 44100.0;

struct Ambience {
    Ambience()
    {
        module.build(&root);
        module.connect();
        module.getInput("InL").connect(&left);
        module.getInput("InR").connect(&right);
        module.resolveConnections();
        module.bindPorts();
        module.resetParametersToDefaults();
    }
    void fill(float scale)
    {
        for (AudioEngine::OutputBuffered* feed : {&left, &right})
            for (int i = 0; i < kChunk; ++i)
                feed->getBuffer()[i] = scale * uniform(generator);
    }

    test::RootEnvironment root;
    AudioEngine::CX2::ReverbAmbience module;
    AudioEngine::OutputBuffered left{"FeedL", "", kChunk};
    AudioEngine::OutputBuffered right{"FeedR", "", kChunk};
    std::mt19937 generator{3};
    std::uniform_real_distribution<float> uniform{-0.5f, 0.5f};
};

void BM_AmbienceSound(benchmark::State& state)
{
    Ambience a;
    a.fill(1.0f);
    for (auto _ : state) {
        a.module.process();
        benchmark::DoNotOptimize(a.module.getOutput("OutL").getBuffer()[0]);
    }
}
BENCHMARK(BM_AmbienceSound);

// A second of sound, then silence for as long as the run lasts: the tail
// decays to zeros on the way (some 7 s), the rest is silence.
void BM_AmbienceSilenceAfterTail(benchmark::State& state)
{
    Ambience a;
    a.fill(1.0f);
    for (int i = 0; i < 44100 / kChunk; ++i)
        a.module.process();
    a.fill(0.0f);
    for (auto _ : state) {
        a.module.process();
        benchmark::DoNotOptimize(a.module.getOutput("OutL").getBuffer()[0]);
    }
}
BENCHMARK(BM_AmbienceSilenceAfterTail);

// One faint chunk (1e-24) every 1000: each cycle the tail crosses the range
// where subnormals would appear and is cut to zero.
void BM_AmbienceTailEnd(benchmark::State& state)
{
    Ambience a;
    std::vector<float> faint(2 * kChunk);
    a.fill(1e-24f);
    std::memcpy(faint.data(), a.left.getBuffer(), kChunk * sizeof(float));
    std::memcpy(faint.data() + kChunk, a.right.getBuffer(), kChunk * sizeof(float));
    long chunk = 0;
    for (auto _ : state) {
        const long phase = chunk++ % 1000;
        if (phase == 0) {
            std::memcpy(a.left.getBuffer(), faint.data(), kChunk * sizeof(float));
            std::memcpy(a.right.getBuffer(), faint.data() + kChunk, kChunk * sizeof(float));
        } else if (phase == 1) {
            std::memset(a.left.getBuffer(), 0, kChunk * sizeof(float));
            std::memset(a.right.getBuffer(), 0, kChunk * sizeof(float));
        }
        a.module.process();
        benchmark::DoNotOptimize(a.module.getOutput("OutL").getBuffer()[0]);
    }
}
BENCHMARK(BM_AmbienceTailEnd);

// Envelope mode with depth 2 octaves on a 0.5 peak signal: the cutoff moves
// every piece, so every piece redesigns its sections.
void BM_ResonantCutoff(benchmark::State& state)
{
    mixer::TResonantCutoff effect(mixer::TResonantCutoff::kEnvelopeMode, 0);
    effect.setFormat(44100.0f, 1, 1);
    effect.start();
    effect.setController(23, 64);
    effect.setController(25, static_cast<std::int32_t>(state.range(0))); // the pole count
    std::mt19937 generator(5);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    std::vector<float> in(kChunk * 64), out(kChunk);
    for (float& x : in)
        x = uniform(generator);
    for (int i = 0; i < 1000; ++i)
        effect.process(out.data(), in.data(), kChunk);
    std::size_t offset = 0;
    for (auto _ : state) {
        effect.process(out.data(), in.data() + offset, kChunk);
        offset = (offset + kChunk) % in.size();
        benchmark::DoNotOptimize(out[0]);
    }
}
BENCHMARK(BM_ResonantCutoff)->Arg(1)->Arg(2)->Arg(4);

void BM_CopyPiece(benchmark::State& state)
{
    std::vector<float> in(kChunk, 0.25f), out(kChunk);
    for (auto _ : state) {
        benchmark::DoNotOptimize(in.data());
        std::memcpy(out.data(), in.data(), kChunk * sizeof(float));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyPiece);

} // namespace

BENCH_COMPARE(kSilence, "Ambience silence after a tail vs sound", "BM_AmbienceSilenceAfterTail",
              "BM_AmbienceSound", kBudgetNs);
BENCH_COMPARE(kTailEnd, "Ambience through a tail's last 120 dB vs sound", "BM_AmbienceTailEnd",
              "BM_AmbienceSound", kBudgetNs);
BENCH_COMPARE(kAmbience, "Ambience per 64-frame chunk vs a copy", "BM_AmbienceSound",
              "BM_CopyPiece", kBudgetNs);
BENCH_COMPARE(kCutoff1, "ResonantCutoff 1 pole per 64 frames vs a copy", "BM_ResonantCutoff/1",
              "BM_CopyPiece", kBudgetNs);
BENCH_COMPARE(kCutoff2, "ResonantCutoff 2 poles per 64 frames vs a copy", "BM_ResonantCutoff/2",
              "BM_CopyPiece", kBudgetNs);
BENCH_COMPARE(kCutoff4, "ResonantCutoff 4 poles per 64 frames vs a copy", "BM_ResonantCutoff/4",
              "BM_CopyPiece", kBudgetNs);
