// Per-piece costs of the module framework: reading a port's samples through a
// resolved chain of composites, and dispatching process() to a leaf's chosen
// block routine, each beside the direct equivalent.
#include "BenchMain.h"

#include "engine/core/ModuleBasic.h"
#include "engine/core/ModuleStructured.h"
#include "tests/engine/core/TestModules.h"

#include <benchmark/benchmark.h>

#include <functional>

using namespace AudioEngine;

namespace {

using Root = test::RootEnvironment;

// Scales "In" into "Out": the smallest realistic block routine.
void scale(const float* x, float* y, std::uint32_t n)
{
    for (std::uint32_t i = 0; i < n; ++i)
        y[i] = 0.5f * x[i];
}

class Scaler : public ModuleBasic {
public:
    explicit Scaler(std::uint32_t flags = 0x80) : ModuleBasic(ModuleInfo{flags, "Scaler", ""}) {}
    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }
    std::uint32_t processBlockVector() override
    {
        const std::uint32_t n = getChunkSize();
        scale(in_->getBuffer(), out_->getBuffer(), n);
        return n;
    }
    Port* in_ = nullptr;
    Port* out_ = nullptr;
};

class Nest : public ModuleStructured {
public:
    explicit Nest(int depth) : ModuleStructured(ModuleInfo{0, "Nest", ""}), depth_(depth) {}
    void createSubModules() override
    {
        if (depth_ > 0)
            addSubModule<Nest>("Inner", depth_ - 1);
        else
            addSubModule<Scaler>("Leaf");
    }
    void createInputs() override {}
    void createOutputs() override
    {
        Module& child = *subModules_.front().module;
        outputs_.addHierarchicOutput(Port("Out", "", &child.getOutput("Out")), "Out");
    }
    void connectSubModules() override {}

private:
    int depth_;
};

// Three composites around a leaf, read by an input at the top.
struct Chain {
    Chain() : nest(2)
    {
        nest.build(&root);
        nest.connect();
        reader.connect(&nest.getOutput("Out"));
        nest.resolveConnections();
        reader.resolve();
        nest.bindPorts();
    }
    Root root;
    Nest nest;
    Input reader{"In", ""};
};

void BM_PortReadThroughResolvedChain(benchmark::State& state)
{
    Chain chain;
    const Port* port = &chain.reader;
    for (auto _ : state) {
        benchmark::DoNotOptimize(port);
        float* samples = port->getBuffer();
        benchmark::DoNotOptimize(samples);
    }
}
BENCHMARK(BM_PortReadThroughResolvedChain);

void BM_DirectPointerRead(benchmark::State& state)
{
    Chain chain;
    float* const* pointer = nullptr;
    float* samples = chain.reader.getBuffer();
    pointer = &samples;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pointer);
        float* read = *pointer;
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_DirectPointerRead);

BENCH_COMPARE(portRead, "port read through a resolved 3-level chain vs direct pointer",
              "BM_PortReadThroughResolvedChain", "BM_DirectPointerRead");

void BM_ProcessDispatch(benchmark::State& state)
{
    Root root;
    Scaler leaf;
    leaf.build(&root);
    OutputBuffered source("Src", "", 64);
    leaf.getInput("In").connect(&source);
    leaf.bindPorts();
    Module* module = &leaf;
    for (auto _ : state) {
        benchmark::DoNotOptimize(module);
        module->process();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ProcessDispatch);

void BM_DirectCall(benchmark::State& state)
{
    OutputBuffered source("Src", "", 64), out("Out", "", 64);
    float* x = source.getBuffer();
    float* y = out.getBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        scale(x, y, 64);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DirectCall);

BENCH_COMPARE(dispatch, "process() of a 64-sample leaf vs the same loop called directly",
              "BM_ProcessDispatch", "BM_DirectCall");

} // namespace
