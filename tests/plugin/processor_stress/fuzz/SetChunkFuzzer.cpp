// libFuzzer over setChunk: any bytes as a state chunk, then every host
// parameter must be finite and inside its range and a block must play finite.
// Built only with clang, the whole tree instrumented:
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DRIG_BUILD_FUZZER=ON \
//         -DRIG_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address
//   cmake --build build-fuzz -j3 --target setchunk_fuzzer
//   build-fuzz/tests/setchunk_fuzzer -max_total_time=600
#include "plugin/DUZ2.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

__attribute__((constructor(101))) void useAPrivateSettingsRoot()
{
    char pattern[] = "/tmp/zq-fuzz-XXXXXX";
    if (::mkdtemp(pattern))
        ::setenv("ZQ_SETTINGS_ROOT", pattern, 1);
}

struct QuietHost : Zq::DUZ2::Host {
    float getTempo() override { return 120.0f; }
    void onParameterChanged(std::int32_t, float plain, float normalized) override
    {
        if (!std::isfinite(plain) || !std::isfinite(normalized))
            std::abort();
    }
};

Zq::DUZ2::ProcessTable* processor()
{
    static QuietHost host;
    static Zq::DUZ2::ProcessTable* table = [] {
        std::int32_t served = 0;
        Zq::DUZ2::PlugInTable* plugIn = DUZ2Acquire(1, &served);
        return plugIn->createProcess(plugIn, host.getHostTable(), 0);
    }();
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Zq::DUZ2::ProcessTable* t = processor();
    t->setChunk(t, data, static_cast<std::int32_t>(size));
    void* chunk = nullptr;
    t->getChunk(t, &chunk); // waits for the host writes and the load to settle
    t->releaseChunk(t);
    for (int i = 0; i < t->getNumParameters(t); ++i) {
        const float normalized = t->getParameterNormalized(t, i);
        const float plain = t->getParameterValue(t, i);
        const float low = t->convertNormalizedToPlain(t, i, 0.0f);
        const float high = t->convertNormalizedToPlain(t, i, 1.0f);
        const float slack = 1e-5f * std::fmax(1.0f, std::fmax(std::fabs(low), std::fabs(high)));
        if (!(normalized >= 0.0f && normalized <= 1.0f) || !std::isfinite(plain) ||
            plain < std::fmin(low, high) - slack || plain > std::fmax(low, high) + slack)
            std::abort();
    }
    static float in[64], left[64], right[64];
    float* ins[2] = {in, in};
    float* outs[2] = {left, right};
    t->process(t, ins, outs, 64, nullptr);
    for (int i = 0; i < 64; ++i)
        if (!std::isfinite(left[i]) || !std::isfinite(right[i]))
            std::abort();
    return 0;
}
