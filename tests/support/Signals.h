#pragma once

// Test signals shared by tests and benchmarks.

#include <cstddef>
#include <random>
#include <vector>

namespace test {

// count samples uniform in [-1, 1), the same for the same seed.
inline std::vector<float> randomSignal(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    std::vector<float> x(static_cast<std::size_t>(count));
    for (float& v : x)
        v = uniform(rng);
    return x;
}

} // namespace test
