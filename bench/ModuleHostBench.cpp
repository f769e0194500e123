// Framework overhead of the module host: host blocks through the rig's
// sixteen-module chain of trivial stubs, against the same stubs driven
// directly over 64-sample pieces (no FIFOs, no queue, no lookups).
#include "BenchMain.h"

#include "tests/engine/host/TestChain.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr double kBlockBudgetNs = 1024.0 / 44100.0 * 1e9; // 23.2 ms

struct Block {
    explicit Block(std::uint32_t frames) : in(frames, 0.25f), left(frames), right(frames) {}
    std::vector<float> in, left, right;
    const float* inputs[1] = {in.data()};
    float* outputs[2] = {left.data(), right.data()};
};

void BM_HostBlock(benchmark::State& state)
{
    test::TestFacade facade;
    const auto frames = static_cast<std::uint32_t>(state.range(0));
    const auto changes = state.range(1);
    Block block(frames);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < changes; ++i)
            facade.host.getParameterChanges().push("Model_0_AmpModule", static_cast<float>(i % 3));
        state.ResumeTiming();
        facade.host.processHost(block.inputs, block.outputs, frames);
        benchmark::DoNotOptimize(block.left.data());
    }
}
BENCHMARK(BM_HostBlock)->Args({1024, 0})->Args({1024, 1024})->Args({64, 0})->Args({1023, 0});

void BM_DirectPieces(benchmark::State& state)
{
    test::TestFacade facade;
    const auto frames = static_cast<std::uint32_t>(state.range(0));
    Block block(64);
    facade.host.processHost(block.inputs, block.outputs, 64); // pieces of 64 from here on
    AudioEngine::ModuleSetBase& set = facade.host.getModuleSet();
    for (auto _ : state) {
        for (std::uint32_t done = 0; done < frames; done += 64)
            set.process();
        benchmark::DoNotOptimize(set.getOutputs().begin()->second->getBuffer());
    }
}
BENCHMARK(BM_DirectPieces)->Arg(1024)->Arg(64);

BENCH_COMPARE(host1024, "host block of 1024, empty queue, vs direct pieces", "BM_HostBlock/1024/0",
              "BM_DirectPieces/1024", kBlockBudgetNs);
BENCH_COMPARE(host1024Queued, "host block of 1024, 1024 queued changes, vs direct pieces",
              "BM_HostBlock/1024/1024", "BM_DirectPieces/1024", kBlockBudgetNs);
BENCH_COMPARE(host64, "host block of 64 vs one direct piece", "BM_HostBlock/64/0",
              "BM_DirectPieces/64", kBlockBudgetNs / 16);
BENCH_COMPARE(host1023, "host block of 1023 vs direct pieces of 1024", "BM_HostBlock/1023/0",
              "BM_DirectPieces/1024", kBlockBudgetNs);

} // namespace
