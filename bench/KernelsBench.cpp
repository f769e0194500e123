// Every dispatched vector kernel, plain set against SSE set, on 16-byte aligned
// buffers with a count of 4096 (floats, or frames where mono meets stereo).
// Goal: the SSE set is never slower. Gains are chosen so that no buffer decays
// into subnormals or grows without bound over millions of repetitions.
#include "BenchMain.h"

#include "engine/dsp/Kernels.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using utils::KernelTable;

namespace {

constexpr std::uint32_t kCount = 4096;

struct Buffers {
    alignas(16) std::array<float, 2 * kCount> d, s, a, b, l, r, g;
    alignas(16) std::array<std::int32_t, 2 * kCount> ints;

    Buffers()
    {
        for (std::size_t i = 0; i < d.size(); ++i) {
            const auto x = static_cast<float>((i * 7919) % 1000) * 1e-3f - 0.5f;
            d[i] = x;
            s[i] = -x;
            a[i] = x;
            b[i] = 0.5f * x;
            l[i] = x;
            r[i] = x;
            g[i] = 1.0f;
            ints[i] = static_cast<std::int32_t>(i * 2654435761u);
        }
    }
};

using Call = std::function<void(const KernelTable&, Buffers&)>;

struct Entry {
    const char* name;
    Call call;
};

// Scaling kernels use unit gains with a negligible step, so that repeated
// scaling neither decays nor grows.
const std::vector<Entry>& entries()
{
    using B = Buffers;
    constexpr std::uint32_t n = kCount;
    static const std::vector<Entry> list = {
        {"addStereoGains", [](const KernelTable& k,
                              B& x) { k.addStereoGains(x.d.data(), x.s.data(), n, 0.5f, 0.25f); }},
        {"addRamp",
         [](const KernelTable& k, B& x) { k.addRamp(x.d.data(), x.s.data(), n, 0.5f, 1e-5f, 1); }},
        {"addMonoToStereoRamp",
         [](const KernelTable& k, B& x) {
             k.addMonoToStereoRamp(x.d.data(), x.s.data(), n, 0.5f, 1e-5f);
         }},
        {"addStereoRampPan",
         [](const KernelTable& k, B& x) {
             k.addStereoRampPan(x.d.data(), x.s.data(), n, 0.5f, 1e-5f, 0.7f, 0.3f);
         }},
        {"addMonoToStereoRampPan",
         [](const KernelTable& k, B& x) {
             k.addMonoToStereoRampPan(x.d.data(), x.s.data(), n, 0.5f, 1e-5f, 0.7f, 0.3f);
         }},
        {"scaleRamp",
         [](const KernelTable& k, B& x) { k.scaleRamp(x.d.data(), n, 1.0f, 1e-12f, 1); }},
        {"scaleStereoRamps",
         [](const KernelTable& k, B& x) {
             k.scaleStereoRamps(x.d.data(), n, 1.0f, 1e-12f, 1.0f, -1e-12f);
         }},
        {"add", [](const KernelTable& k, B& x) { k.add(x.d.data(), x.s.data(), n); }},
        {"addMonoToStereo",
         [](const KernelTable& k, B& x) { k.addMonoToStereo(x.d.data(), x.s.data(), n); }},
        {"addMonoToStereoPan",
         [](const KernelTable& k, B& x) {
             k.addMonoToStereoPan(x.d.data(), x.s.data(), n, 0.7f, 0.3f);
         }},
        {"moveToward",
         [](const KernelTable& k, B& x) { k.moveToward(x.d.data(), x.s.data(), n, 0.1f); }},
        {"blend",
         [](const KernelTable& k, B& x) { k.blend(x.d.data(), x.s.data(), n, 0.5f, 0.5f); }},
        {"scaleStereo",
         [](const KernelTable& k, B& x) { k.scaleStereo(x.d.data(), n, 1.0f, 1.0f); }},
        {"copyStereoGains",
         [](const KernelTable& k, B& x) {
             k.copyStereoGains(x.d.data(), x.s.data(), n, 0.5f, 0.25f);
         }},
        {"splitStereoAdd",
         [](const KernelTable& k, B& x) {
             k.splitStereoAdd(x.l.data(), x.r.data(), x.s.data(), n, 0.5f, 0.25f);
         }},
        {"splitStereo",
         [](const KernelTable& k, B& x) {
             k.splitStereo(x.l.data(), x.r.data(), x.s.data(), n, 0.5f, 0.25f);
         }},
        {"intToFloatStereo",
         [](const KernelTable& k, B& x) {
             k.intToFloatStereo(x.d.data(), x.ints.data(), n, 0.5f, 0.25f);
         }},
        {"intToFloat",
         [](const KernelTable& k, B& x) {
             k.intToFloat(x.d.data(), x.ints.data(), n, 1.0f / 2147483648.0f);
         }},
        {"difference",
         [](const KernelTable& k, B& x) { k.difference(x.d.data(), x.a.data(), x.b.data(), n); }},
        {"product",
         [](const KernelTable& k, B& x) { k.product(x.d.data(), x.a.data(), x.b.data(), n); }},
        {"stereoTimesGain", [](const KernelTable& k,
                               B& x) { k.stereoTimesGain(x.d.data(), x.s.data(), x.g.data(), n); }},
        {"reciprocal", [](const KernelTable& k, B& x) { k.reciprocal(x.d.data(), n); }},
    };
    return list;
}

void runKernel(benchmark::State& state, const KernelTable& (*table)() noexcept, const Call& call)
{
    auto buffers = std::make_unique<Buffers>();
    const KernelTable& k = table();
    for (auto _ : state) {
        call(k, *buffers);
        benchmark::DoNotOptimize(buffers->d.data());
        benchmark::ClobberMemory();
    }
}

// Registers the plain and SSE run of every entry and pairs them.
const int registered = [] {
    for (const Entry& e : entries()) {
        const std::string plain = std::string("BM_Kernel/") + e.name + "/plain";
        const std::string sse = std::string("BM_Kernel/") + e.name + "/sse";
        benchmark::RegisterBenchmark(plain.c_str(), runKernel, utils::plainKernels, e.call);
        benchmark::RegisterBenchmark(sse.c_str(), runKernel, utils::sseKernels, e.call);
        bench::Comparison(std::string("kernel ") + e.name + ", SSE vs plain, count 4096", sse,
                          plain);
    }
    return 0;
}();

} // namespace
