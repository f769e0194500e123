// Per-piece costs of the generic modules, each beside a plain loop computing
// the same formula on the same 64 samples, and the cost of one selector switch.
#include "BenchMain.h"

#include "engine/core/Denormal.h"
#include "engine/host/ModuleArrayCX2.h"
#include "engine/host/ModuleCX2.h"
#include "engine/host/ModuleCreators.h"
#include "engine/modules/Gain.h"
#include "engine/modules/Lfo.h"
#include "engine/modules/LinearComb2.h"
#include "engine/modules/Meter.h"
#include "engine/modules/ModuleSelector.h"
#include "engine/modules/ModuleSelectorNotUniform.h"
#include "engine/modules/PhaseAdjust.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

using namespace AudioEngine;

namespace {

constexpr std::uint32_t kPiece = 64;

class Root : public Environment {
public:
    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return kPiece; }
    float getSampleRate() const override { return 44100.0f; }
    std::int32_t getLatency() const override { return 4; }
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }
    std::uint32_t getChunkSize() const override { return kPiece; }
    void structureChanged() override {}
};

// Noise at -6 dBFS with a denormal every seventh sample.
struct Signal {
    Signal() : a("A", "", kPiece), b("B", "", kPiece), out("Out", "", kPiece)
    {
        std::mt19937 random(3);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        for (std::uint32_t i = 0; i < kPiece; ++i) {
            a.getBuffer()[i] = i % 7 ? noise(random) : 1e-40f;
            b.getBuffer()[i] = noise(random);
        }
    }
    OutputBuffered a, b, out;
};

// One module brought up in a root environment, its inputs fed by the signal.
template <class M> struct Rig {
    explicit Rig(std::initializer_list<const char*> inputs)
    {
        module.build(&root);
        module.connect();
        const OutputBuffered* sources[] = {&signal.a, &signal.b};
        std::size_t k = 0;
        for (const char* name : inputs)
            module.getInput(name).connect(const_cast<OutputBuffered*>(sources[k++]));
        module.resolveConnections();
        module.bindPorts();
        module.resetParametersToDefaults();
    }
    void run(benchmark::State& state)
    {
        Module* m = &module;
        for (auto _ : state) {
            benchmark::DoNotOptimize(m);
            m->process();
            benchmark::ClobberMemory();
        }
    }
    Root root;
    Signal signal;
    M module;
};

struct Trim {
    static constexpr float minimum = -80.0f, maximum = 80.0f, defaultValue = 0.0f;
};

void BM_GaindBVector(benchmark::State& state)
{
    Rig<GaindB<Trim>> rig({"In"});
    rig.module.setParameter("Gain", -6.0f);
    rig.run(state);
}
BENCHMARK(BM_GaindBVector);

void BM_GaindBPlainLoop(benchmark::State& state)
{
    Signal signal;
    Parameter gain("Gain", "", -80.0f, 80.0f, -6.0f, 0);
    const float* x = signal.a.getBuffer();
    float* y = signal.out.getBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        const float g = flushedDenormal(float(std::pow(10.0, double(0.05f) * gain.getValue())));
        for (std::uint32_t i = 0; i < kPiece; ++i)
            y[i] = flushedDenormal(g * flushedDenormal(x[i]));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GaindBPlainLoop);

using Comb =
    LinearComb2<LinearComb2MixerDetails::ScaleDescriptor, LinearComb2MixerDetails::ScaleDescriptor>;

void BM_LinearComb2(benchmark::State& state)
{
    Rig<Comb> rig({"In1", "In2"});
    rig.module.setParameter("A1", 0.3f);
    rig.run(state);
}
BENCHMARK(BM_LinearComb2);

void BM_LinearComb2PlainLoop(benchmark::State& state)
{
    Signal signal;
    Parameter a1("A1", "", 0.0f, 1.0f, 0.3f, 0), a2("A2", "", 0.0f, 1.0f, 0.5f, 0);
    const float* x1 = signal.a.getBuffer();
    const float* x2 = signal.b.getBuffer();
    float* y = signal.out.getBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x1);
        const float w1 = a1.getValue(), w2 = a2.getValue();
        for (std::uint32_t i = 0; i < kPiece; ++i)
            y[i] = flushedDenormal(flushedDenormal(flushedDenormal(x1[i]) * w1) +
                                   flushedDenormal(flushedDenormal(x2[i]) * w2));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LinearComb2PlainLoop);

using VuMeter = CX2::Meter<100, 500, 4>;

void BM_Meter(benchmark::State& state)
{
    Rig<VuMeter> rig({"In"});
    rig.run(state);
}
BENCHMARK(BM_Meter);

void BM_MeterPlainLoop(benchmark::State& state)
{
    Signal signal;
    const float attack = float(std::pow(0.1, 1000.0 / (44100.0 * 100.0)));
    const float release = float(std::pow(0.1, 1000.0 / (44100.0 * 500.0)));
    const float gain = 1.5849f;
    const float* x = signal.a.getBuffer();
    float envelope = 0.0f, peak = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        for (std::uint32_t i = 0; i < kPiece; ++i) {
            const float a = std::fabs(x[i]);
            envelope = a + (a < envelope ? release : attack) * (envelope - a);
            if (envelope < 1e-20f)
                envelope = 0.0f;
            if (envelope > peak)
                peak = envelope;
        }
        float level = gain * peak;
        benchmark::DoNotOptimize(level);
    }
}
BENCHMARK(BM_MeterPlainLoop);

void BM_DelayLine(benchmark::State& state)
{
    Rig<BorvanQom::PhaseAdjust<20>> rig({"In"});
    rig.module.setParameter("Delay", 7.0f);
    rig.run(state);
}
BENCHMARK(BM_DelayLine);

void BM_DelayLinePlainLoop(benchmark::State& state)
{
    Signal signal;
    std::vector<float> ring(883, 0.0f);
    const int size = int(ring.size());
    int read = 0, write = 308; // 7 ms at 44.1 kHz
    const float* x = signal.a.getBuffer();
    float* y = signal.out.getBuffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        for (std::uint32_t i = 0; i < kPiece; ++i) {
            ring[write] = x[i];
            y[i] = ring[read];
            if (++write == size)
                write = 0;
            if (++read == size)
                read = 0;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DelayLinePlainLoop);

BENCH_COMPARE(gain, "GaindB vector routine, 64 samples, vs plain loop", "BM_GaindBVector",
              "BM_GaindBPlainLoop");
BENCH_COMPARE(comb, "LinearComb2 vector routine, 64 samples, vs plain loop", "BM_LinearComb2",
              "BM_LinearComb2PlainLoop");
BENCH_COMPARE(meter, "Meter, 64 samples, vs plain loop", "BM_Meter", "BM_MeterPlainLoop");
BENCH_COMPARE(delay, "DelayLine, 64 samples, vs plain loop", "BM_DelayLine",
              "BM_DelayLinePlainLoop");

// Selector switches, back and forth between two elements.
struct LfoSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Mode";
    LfoSet()
    {
        add<Lfo<LfoFunctions::Triangle<float, float>>>("Chorus");
        add<Lfo<LfoFunctions::Sine<float, float>>>("Vibrato");
    }
};

struct Knob {
    static constexpr float minimum = 0.0f, maximum = 1.0f, defaultValue = 0.5f;
};
struct StageSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Model";
    StageSet()
    {
        add<Gain<Knob>>("Linear");
        add<GainLog<Knob>>("Log");
        add<BorvanQom::PhaseAdjust<20>>("Delay");
    }
};

template <class M> void switchBackAndForth(benchmark::State& state, const char* parameter)
{
    Root root;
    M module;
    module.build(&root);
    module.connect();
    module.resolveConnections();
    module.bindPorts();
    module.resetParametersToDefaults();
    float value = 0.0f;
    for (auto _ : state) {
        value = 1.0f - value;
        module.setParameter(parameter, value);
        benchmark::ClobberMemory();
    }
}

void BM_SelectorSwitchUniform(benchmark::State& state)
{
    switchBackAndForth<ModuleSelector<LfoSet>>(state, "Mode");
}
BENCHMARK(BM_SelectorSwitchUniform);

void BM_SelectorSwitchNotUniform(benchmark::State& state)
{
    switchBackAndForth<ModuleSelectorNotUniform<StageSet>>(state, "Model");
}
BENCHMARK(BM_SelectorSwitchNotUniform);

// The same switch inside a wrapped one-slot chain, which relinks its links.
void BM_SelectorSwitchInWrappedChain(benchmark::State& state)
{
    switchBackAndForth<CX2::Application::ModuleCX2<
        CX2::Application::ModuleArrayCX2<ModuleSelectorNotUniform<StageSet>, 1>>>(state, "Model_0");
}
BENCHMARK(BM_SelectorSwitchInWrappedChain);

} // namespace
