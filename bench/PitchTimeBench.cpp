// The practice player's pitch and time engine (effect 102) beside two
// reference tools run as programs, rubberband (rubberband-cli) and
// soundstretch, on the bass line and on a 60-second 110 Hz tone, stereo
// 44.1 kHz, at three settings of tempo and pitch.
//
// Every benchmark's time is CPU time (ours: this thread's; a reference: its
// child process's user and system time), so the RATIO lines compare CPU
// seconds. Each also reports, measured the same way for all, the pitch error
// in cents of its output on the tone and the duration error of its output
// against the input's length times the time factor. Our duration is the
// output it takes the engine to play through the whole input; a tool's is the
// length of the file it writes.

#include "BassLine.h"
#include "BenchMain.h"

#include "host/player/zqEfx.h"
#include "host/player/zqEfxImplPstsPoly.h"
#include "tests/support/Tones.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kRate = 44100;
// Each figure is the mean of a few whole-file runs: one run of a fraction of a
// second is at the mercy of whatever else the machine does.
constexpr int kIterations = 3;

struct Setting {
    const char* name;
    int tempoPercent; // 75: three quarters of the speed
    int semitones;
};
const Setting kSettings[] = {
    {"tempo75+3", 75, 3}, {"tempo125-5", 125, -5}, {"tempo100+12", 100, 12}};

double timeFactor(const Setting& s)
{
    return 100.0 / s.tempoPercent;
}
double pitchFactor(const Setting& s)
{
    return std::pow(2.0, -s.semitones / 12.0);
}

struct Input {
    const char* name;
    std::vector<float> samples; // one channel, played on both
    bool tone;
    std::string path; // written once as 16-bit stereo
};

// The run's folder for the files the tools read and write; removed at exit
// with the inputs written there.
char gWorkDir[] = "/tmp/pitchtime-bench-XXXXXX";

void removeWorkDir()
{
    const std::string d = gWorkDir;
    std::remove((d + "/tone.wav").c_str());
    std::remove((d + "/bass.wav").c_str());
    rmdir(gWorkDir);
}

std::string workDir()
{
    static const bool made = [] {
        if (mkdtemp(gWorkDir) == nullptr)
            return false;
        std::atexit(removeWorkDir);
        return true;
    }();
    return made ? std::string(gWorkDir) : std::string("/tmp");
}

void writeWav(const std::string& path, const std::vector<float>& x)
{
    std::ofstream f(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<std::uint32_t>(x.size() * 4);
    f.write("RIFF", 4);
    u32(36 + bytes);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    f.write("data", 4);
    u32(bytes);
    for (float v : x) {
        const auto s =
            static_cast<std::int16_t>(std::lround(std::fmax(-1.0f, std::fmin(1.0f, v)) * 32767.0f));
        u16(static_cast<std::uint16_t>(s));
        u16(static_cast<std::uint16_t>(s));
    }
}

Input& input(bool tone)
{
    static std::map<bool, Input> inputs;
    auto it = inputs.find(tone);
    if (it == inputs.end()) {
        Input in{tone ? "tone" : "bass",
                 tone ? test::sine(std::size_t(60 * kRate), 0.5f, 110.0, kRate) : bench::bassLine(),
                 tone, ""};
        in.path = workDir() + (tone ? "/tone.wav" : "/bass.wav");
        if (!in.samples.empty())
            writeWav(in.path, in.samples);
        it = inputs.emplace(tone, std::move(in)).first;
    }
    return it->second;
}

// Figures of one output, the same measure for ours and the tools'.
void report(benchmark::State& state, const Input& in, const Setting& setting,
            const std::vector<float>& out, std::size_t outFrames, double cpuSeconds)
{
    const double expectedFrames = in.samples.size() * timeFactor(setting);
    state.counters["cpu_s"] = cpuSeconds;
    state.counters["x_realtime"] = outFrames / double(kRate) / cpuSeconds;
    state.counters["duration_err_%"] = 100.0 * (outFrames - expectedFrames) / expectedFrames;
    if (in.tone && out.size() > 6u * kRate) {
        // Four seconds from the middle of the output.
        const std::size_t from = out.size() / 2 - 2 * kRate;
        const std::vector<float> middle(out.begin() + from, out.begin() + from + 4 * kRate);
        const double expected = 110.0 / pitchFactor(setting);
        const double found = test::peakFrequency(middle, kRate, expected * 0.8, expected * 1.25);
        state.counters["pitch_err_cents"] = test::cents(found, expected);
    }
}

int readSource(void* user, float** buffers, std::int64_t position, int frames)
{
    const auto& x = *static_cast<const std::vector<float>*>(user);
    for (int i = 0; i < frames; ++i) {
        const std::int64_t at = position + i;
        const float v =
            at >= 0 && at < std::int64_t(x.size()) ? x[static_cast<std::size_t>(at)] : 0.0f;
        buffers[0][i] = v;
        buffers[1][i] = v;
    }
    return frames;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void ours(benchmark::State& state, bool tone, Setting setting)
{
    Input& in = input(tone);
    if (in.samples.empty()) {
        state.SkipWithError("no bass line to read");
        return;
    }
    const int block = 512;
    std::vector<float> out, left(block), right(block);
    std::size_t frames = 0;
    double cpu = 0.0, total = 0.0;
    for (auto _ : state) {
        out.clear();
        out.reserve(static_cast<std::size_t>(in.samples.size() * timeFactor(setting)) + 2 * kRate);
        const double start = threadCpuSeconds();
        player::zqEfxBase* effect = zqEfxCreate(102);
        zqEfxSetSource(effect, &in.samples, &readSource);
        zqEfxSetParam(effect, 10000, 2.0f);
        zqEfxSetParam(effect, 10001, 2.0f);
        zqEfxSetParam(effect, 10002, float(kRate));
        zqEfxPrepare(effect);
        zqEfxSetParam(effect, 10004, static_cast<float>(timeFactor(setting)));
        zqEfxSetParam(effect, 10005, static_cast<float>(pitchFactor(setting)));
        auto& channel = static_cast<player::zqEfxImplPstsPoly*>(effect)->engine()->channel(0);
        float* buffers[2] = {left.data(), right.data()};
        // Until the engine plays past the input's last frame.
        for (frames = 0; channel.playPosition() < double(in.samples.size()); frames += block) {
            zqEfxProcess(effect, nullptr, buffers, std::int64_t(frames), block);
            out.insert(out.end(), left.begin(), left.end());
        }
        zqEfxDestroy(effect);
        cpu = threadCpuSeconds() - start;
        total += cpu;
        state.SetIterationTime(cpu);
    }
    report(state, in, setting, out, frames, total / double(state.iterations()));
}

std::string findProgram(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t at = 0; at <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', at), dirs.size());
        const std::string candidate = dirs.substr(at, end - at) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = end + 1;
    }
    return {};
}

// Runs a program to its end with its output discarded; its CPU seconds, or
// a negative number when it could not run or failed.
double runChild(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1.0;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1.0;
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec * 1e-6;
}

void reference(benchmark::State& state, bool tone, Setting setting, bool rubberband)
{
    const char* tool = rubberband ? "rubberband" : "soundstretch";
    const std::string program = findProgram(tool);
    if (program.empty()) {
        state.SkipWithError(
            (std::string(tool) + " is not installed (scripts/deps.sh installs it)").c_str());
        return;
    }
    Input& in = input(tone);
    if (in.samples.empty()) {
        state.SkipWithError("no bass line to read");
        return;
    }
    const std::string out = workDir() + "/" + tool + "-" + in.name + "-" + setting.name + ".wav";
    std::vector<std::string> args;
    if (rubberband)
        args = {program,
                "-T",
                std::to_string(setting.tempoPercent / 100.0),
                "-p",
                std::to_string(setting.semitones),
                in.path,
                out};
    else
        args = {program, in.path, out, "-tempo=" + std::to_string(setting.tempoPercent - 100),
                "-pitch=" + std::to_string(setting.semitones)};
    double cpu = 0.0, total = 0.0;
    for (auto _ : state) {
        cpu = runChild(args);
        if (cpu < 0.0) {
            state.SkipWithError((std::string(tool) + " failed").c_str());
            break;
        }
        total += cpu;
        state.SetIterationTime(cpu);
    }
    if (cpu < 0.0)
        return;
    const std::vector<float> written = bench::readWav(out);
    report(state, in, setting, written, written.size(), total / double(state.iterations()));
    std::remove(out.c_str());
}

// One benchmark a (program, input, setting), and the two ratios of each pair.
std::string name(const char* who, bool tone, const Setting& s)
{
    return std::string("PitchTime/") + who + "/" + (tone ? "tone" : "bass") + "/" + s.name;
}

const bool registered = [] {
    for (bool tone : {false, true}) {
        for (const Setting& s : kSettings) {
            for (auto* b :
                 {benchmark::RegisterBenchmark(name("ours", tone, s).c_str(), ours, tone, s),
                  benchmark::RegisterBenchmark(name("soundstretch", tone, s).c_str(), reference,
                                               tone, s, false),
                  benchmark::RegisterBenchmark(name("rubberband", tone, s).c_str(), reference, tone,
                                               s, true)})
                b->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);
            const std::string suffix =
                "/iterations:" + std::to_string(kIterations) + "/manual_time";
            static std::vector<bench::Comparison> comparisons;
            comparisons.emplace_back(name("ours", tone, s) + " CPU / soundstretch CPU",
                                     name("ours", tone, s) + suffix,
                                     name("soundstretch", tone, s) + suffix);
            comparisons.emplace_back(name("ours", tone, s) + " CPU / rubberband CPU",
                                     name("ours", tone, s) + suffix,
                                     name("rubberband", tone, s) + suffix);
        }
    }
    return true;
}();

} // namespace
