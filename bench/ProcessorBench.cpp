// The whole rig through the Process table of the loaded Zq_BorvanRAZ.raz, as a
// host runs it: 44.1 kHz, 256-frame blocks, stereo in and out.
// - the real-time factor (seconds of audio per second of CPU) of a fresh
//   processor (goal: above 25) and of a full rig (six stomps, the RKM-4 PRO,
//   ambience on), on a 110 Hz tone at 0.5;
// - silence against the tone through the same full rig (goal: at most 1.0);
// - the audio thread's block cost with a host write before every block (the
//   master level, as host automation writes it) against the same blocks
//   without (goal: within 5 %): the write is queued for the automation
//   worker, whose changes reach the engine without waiting for a block.
#include "BenchMain.h"

#include "platform/Settings.h"
#include "plugin/DUZ2.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kRate = 44100.0f;
constexpr int kBlock = 256;

using Acquire = Zq::DUZ2::PlugInTable* (*)(std::int32_t, std::int32_t*);
using Release = std::int32_t (*)();

struct SteadyHost : Zq::DUZ2::Host {
    float getTempo() override { return 120.0f; }
    void onParameterChanged(std::int32_t, float, float) override {}
};

// The module, loaded once for the run with its settings in a private root.
class LoadedModule {
public:
    LoadedModule()
    {
        char pattern[] = "/tmp/zq-bench-XXXXXX";
        if (::mkdtemp(pattern))
            root_ = pattern;
        ::setenv("ZQ_SETTINGS_ROOT", root_.c_str(), 1);
        platform::writeRegistryString("BorvanQom", "ResPath", root_);
        library_ = ::dlopen(BORVANRAZ_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!library_) {
            std::fprintf(stderr, "cannot load the module: %s\n", ::dlerror());
            std::exit(1);
        }
        auto acquire = reinterpret_cast<Acquire>(::dlsym(library_, "DUZ2Acquire"));
        release_ = reinterpret_cast<Release>(::dlsym(library_, "DUZ2Release"));
        std::int32_t served = 0;
        plugIn_ = acquire(1, &served);
    }
    ~LoadedModule()
    {
        release_();
        ::dlclose(library_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    Zq::DUZ2::PlugInTable* plugIn() const { return plugIn_; }

private:
    std::string root_;
    void* library_ = nullptr;
    Release release_ = nullptr;
    Zq::DUZ2::PlugInTable* plugIn_ = nullptr;
};

LoadedModule& module()
{
    static LoadedModule loaded;
    return loaded;
}

const std::string kFullRig =
    "<?xml version=\"1.0\" standalone=\"no\" ?><Preset PresetName=\"Full rig\">"
    "<Amp AmpModel=\"RKM-4 PRO\"><AmpModel Gain=\"7.5\" /></Amp>"
    "<Cab Ambience=\"6.000000\" />"
    "<Stomp Stomp0=\"Compressor\" Stomp1=\"EnvelopeFilter\" Stomp2=\"Octaver\" "
    "Stomp3=\"Overdrive\" Stomp4=\"CE-1\" Stomp5=\"MemoryMan\" /></Preset>";

// Plays the input (tone or silence) block by block through one processor;
// with hostWrites, the host moves the master level before every block.
void play(benchmark::State& state, bool fullRig, bool silent, bool hostWrites = false)
{
    SteadyHost host;
    Zq::DUZ2::PlugInTable* plugIn = module().plugIn();
    Zq::DUZ2::ProcessTable* t = plugIn->createProcess(plugIn, host.getHostTable(), 0);
    t->setSampleRate(t, kRate);
    t->setBlockSize(t, kBlock);
    if (fullRig)
        t->setChunk(t, kFullRig.data(), static_cast<std::int32_t>(kFullRig.size()));

    constexpr int kPeriod = kBlock * 441; // whole blocks, a whole number of cycles
    std::vector<float> sine(kPeriod + kBlock);
    for (std::size_t i = 0; i < sine.size(); ++i)
        sine[i] = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 110.0 * i / kRate));
    const std::vector<float> tone = silent ? std::vector<float>(sine.size(), 0.0f) : sine;
    std::vector<float> left(kBlock), right(kBlock);
    float* outs[2] = {left.data(), right.data()};
    // Two seconds of the sine first (then half a second of the input itself):
    // silence is measured after signal, while the tails die away.
    for (int offset = 0; offset < 2 * 44100; offset += kBlock) {
        float* ins[2] = {sine.data() + offset % kPeriod, sine.data() + offset % kPeriod};
        t->process(t, ins, outs, kBlock, nullptr);
    }
    for (int offset = 0; offset < 22050; offset += kBlock) {
        float* ins[2] = {const_cast<float*>(tone.data()) + offset,
                         const_cast<float*>(tone.data()) + offset};
        t->process(t, ins, outs, kBlock, nullptr);
    }
    int offset = 0;
    int block = 0;
    for (auto _ : state) {
        float* ins[2] = {const_cast<float*>(tone.data()) + offset,
                         const_cast<float*>(tone.data()) + offset};
        if (hostWrites)
            t->setParameterNormalized(t, 0, 0.4f + 0.001f * static_cast<float>(++block % 100));
        t->process(t, ins, outs, kBlock, nullptr);
        benchmark::DoNotOptimize(left.data());
        offset = (offset + kBlock) % kPeriod;
    }
    const double seconds = static_cast<double>(state.iterations()) * kBlock / kRate;
    state.counters["realtime_x"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    plugIn->destroyProcess(plugIn, t);
}

void BM_FreshRig(benchmark::State& state)
{
    play(state, false, false);
}
void BM_FullRigTone(benchmark::State& state)
{
    play(state, true, false);
}
void BM_FullRigSilence(benchmark::State& state)
{
    play(state, true, true);
}

// The audio thread's own cost (its CPU time alone): what a host's block
// deadline sees.
void BM_FullRigBlocks(benchmark::State& state)
{
    play(state, true, false);
}
void BM_FullRigBlocksHostWriteEach(benchmark::State& state)
{
    play(state, true, false, true);
}

BENCHMARK(BM_FreshRig)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_FullRigTone)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_FullRigSilence)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

BENCHMARK(BM_FullRigBlocks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRigBlocksHostWriteEach)->Unit(benchmark::kMicrosecond);

BENCH_COMPARE(hostWritesAgainstNone, "full rig, a host write every block against none",
              "BM_FullRigBlocksHostWriteEach", "BM_FullRigBlocks", 1e9 * kBlock / kRate);
BENCH_COMPARE(silenceAgainstTone, "full rig, silence against the 110 Hz tone",
              "BM_FullRigSilence/process_time", "BM_FullRigTone/process_time",
              1e9 * kBlock / kRate);

} // namespace
