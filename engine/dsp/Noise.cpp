#include "engine/dsp/Noise.h"

#include <atomic>
#include <mutex>

namespace utils {
namespace {

struct NoiseStore {
    std::mutex mutex;
    std::uint32_t state = 0;
    std::atomic<int> current{0};
    alignas(16) float tables[2][kNoiseTableSize] = {};
};

NoiseStore& store()
{
    static NoiseStore instance;
    return instance;
}

} // namespace

float nextNoise(std::uint32_t& state) noexcept
{
    state = state * 1103515245u + 12345u;
    const double unit =
        static_cast<double>(state & 0x3FFFFFFFu) * (1.0 / 536870912.0) - 1.0; // [-1, 1)
    return static_cast<float>(unit * 1e-20);
}

const float* noiseTable() noexcept
{
    NoiseStore& s = store();
    return s.tables[s.current.load(std::memory_order_acquire)];
}

void refillNoiseTable()
{
    NoiseStore& s = store();
    std::lock_guard<std::mutex> guard(s.mutex);
    const int next = 1 - s.current.load(std::memory_order_relaxed);
    for (float& value : s.tables[next])
        value = nextNoise(s.state);
    s.current.store(next, std::memory_order_release);
}

std::uint32_t getNoiseState()
{
    NoiseStore& s = store();
    std::lock_guard<std::mutex> guard(s.mutex);
    return s.state;
}

void setNoiseState(std::uint32_t state)
{
    NoiseStore& s = store();
    std::lock_guard<std::mutex> guard(s.mutex);
    s.state = state;
}

} // namespace utils
