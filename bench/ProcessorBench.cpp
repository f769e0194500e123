// The whole rig through the Process table of the loaded Zq_BorvanRAZ.raz, as a
// host runs it: 44.1 kHz, 256-frame blocks, stereo in and out.
// - the real-time factor (seconds of audio per second of CPU) of a fresh
//   processor (goal: above 25) and of a full rig (six stomps, the RKM-4 PRO,
//   ambience on), on a 110 Hz tone at 0.5;
// - silence against the tone through the same full rig (goal: at most 1.0);
// - the audio thread's block cost with a host write before every block (the
//   master level, as host automation writes it) against the same blocks
//   without (goal: within 5 %): the write is queued for the automation
//   worker, whose changes reach the engine without waiting for a block;
// - creating a processor (goal: median at most 30 ms), after the first one
//   of the run has built what every processor shares;
// - memory: the peak resident size of a fresh process that loads the module
//   and creates 0, 1, 2 and 8 processors, each set up and run for a block
//   (goal: the first processor at most 10 MB, each further one at most 3 MB).
#include "BenchMain.h"

#include "platform/Settings.h"
#include "plugin/DUZ2.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
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
// With a goal (a real-time factor), prints the factor measured on the
// process's CPU clock beside it.
void play(benchmark::State& state, bool fullRig, bool silent, bool hostWrites = false,
          const char* goalLabel = nullptr, double goal = 0.0)
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
    timespec cpuStart{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuStart);
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
    if (goalLabel) {
        timespec cpuEnd{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuEnd);
        const double cpu = static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec) +
                           1e-9 * static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec);
        const double factor = seconds / cpu;
        // Only the run that counts: the short ones before it size its loop.
        if (cpu >= 0.4)
            std::printf("GOAL %s: %.1f x real time at 44.1 kHz, goal %.0f x, ratio %.3f %s\n",
                        goalLabel, factor, goal, factor / goal,
                        factor >= goal ? "(met)" : "(MISSED)");
    }
    plugIn->destroyProcess(plugIn, t);
}

void BM_FreshRig(benchmark::State& state)
{
    play(state, false, false, false, "default rig through the module", 110.0);
}
void BM_FullRigTone(benchmark::State& state)
{
    play(state, true, false, false, "fully loaded rig through the module", 55.0);
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

// ---------------------------------------------------------------- creation and memory

// A processor as a host makes one ready: created, rate and block size set,
// one block of silence run (so its buffers are touched).
Zq::DUZ2::ProcessTable* makeReady(Zq::DUZ2::PlugInTable* plugIn, SteadyHost& host)
{
    Zq::DUZ2::ProcessTable* t = plugIn->createProcess(plugIn, host.getHostTable(), 0);
    t->setSampleRate(t, kRate);
    t->setBlockSize(t, kBlock);
    std::vector<float> in(kBlock), left(kBlock), right(kBlock);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {left.data(), right.data()};
    t->process(t, ins, outs, kBlock, nullptr);
    return t;
}

void BM_CreateProcessor(benchmark::State& state)
{
    SteadyHost host;
    Zq::DUZ2::PlugInTable* plugIn = module().plugIn();
    plugIn->destroyProcess(plugIn, makeReady(plugIn, host)); // the shared tables are built
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Zq::DUZ2::ProcessTable* t = plugIn->createProcess(plugIn, host.getHostTable(), 0);
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(s);
        ms.push_back(1e3 * s);
        plugIn->destroyProcess(plugIn, t);
    }
    std::nth_element(ms.begin(), ms.begin() + static_cast<std::ptrdiff_t>(ms.size() / 2), ms.end());
    const double median = ms[ms.size() / 2];
    state.counters["median_ms"] = median;
    std::printf("GOAL creating a processor: median %.2f ms over %zu, goal 30 ms, ratio %.3f %s\n",
                median, ms.size(), median / 30.0, median <= 30.0 ? "(met)" : "(MISSED)");
}

// Peak resident size of this process in kB.
long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

// A fresh process (fork before this one has loaded the module) loads the
// module, makes count processors ready and reports its peak resident size.
long peakWithProcessors(int count)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        long kb = -1;
        {
            LoadedModule loaded;
            SteadyHost host;
            std::vector<Zq::DUZ2::ProcessTable*> made;
            for (int k = 0; k < count; ++k)
                made.push_back(makeReady(loaded.plugIn(), host));
            kb = peakResidentKb();
            for (auto* t : made)
                loaded.plugIn()->destroyProcess(loaded.plugIn(), t);
        }
        (void)!::write(fds[1], &kb, sizeof kb);
        ::_exit(0);
    }
    ::close(fds[1]);
    long kb = -1;
    if (::read(fds[0], &kb, sizeof kb) != static_cast<ssize_t>(sizeof kb))
        kb = -1;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return kb;
}

void BM_ProcessorMemory(benchmark::State& state)
{
    long base = 0, one = 0, two = 0, eight = 0;
    for (auto _ : state) {
        base = peakWithProcessors(0);
        one = peakWithProcessors(1);
        two = peakWithProcessors(2);
        eight = peakWithProcessors(8);
    }
    const double first = (one - base) / 1024.0, second = (two - one) / 1024.0,
                 further = (eight - one) / 7.0 / 1024.0;
    state.counters["module_MB"] = base / 1024.0;
    state.counters["first_MB"] = first;
    state.counters["further_MB"] = further;
    std::printf("GOAL memory (peak RSS): module loaded %.1f MB; first processor +%.2f MB, goal 10 "
                "MB, ratio %.3f %s; second +%.2f MB; each of 8 after the first +%.2f MB, goal 3 "
                "MB, ratio %.3f %s\n",
                base / 1024.0, first, first / 10.0, first <= 10.0 ? "(met)" : "(MISSED)", second,
                further, further / 3.0, further <= 3.0 ? "(met)" : "(MISSED)");
}

// Runs first, before any other benchmark loads the module into this process.
BENCHMARK(BM_ProcessorMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateProcessor)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

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
