#pragma once

// A root environment with settable answers, a feed port that tests write
// samples into, and the lifecycle a host would run, for driving single
// modules and small graphs.

#include "engine/core/Environment.h"
#include "engine/core/Module.h"
#include "engine/core/Port.h"
#include "tests/engine/core/TestModules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace rig {

using namespace AudioEngine;

using test::bringUp;
using test::RootEnvironment;

// An output with samples of its own that a test writes directly.
class Feed : public OutputBuffered {
public:
    Feed() : OutputBuffered("Feed", "", 64) {}
    float* data() const { return getBuffer(); }
    void fill(float value) const { std::fill_n(data(), 64, value); }
    void set(const std::vector<float>& samples) const
    {
        std::fill_n(data(), 64, 0.0f);
        std::copy(samples.begin(), samples.end(), data());
    }
};

inline std::vector<float> samples(const Port& port, std::uint32_t n)
{
    const float* p = port.getBuffer();
    return std::vector<float>(p, p + n);
}

inline bool sameBits(float a, float b)
{
    return std::signbit(a) == std::signbit(b) && (a == b || (a != a && b != b));
}

} // namespace rig
