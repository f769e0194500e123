#pragma once

// A root environment with settable answers, a feed port that tests write
// samples into, and the lifecycle a host would run, for driving single
// modules and small graphs.

#include "engine/core/Environment.h"
#include "engine/core/Module.h"
#include "engine/core/Port.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace rig {

using namespace AudioEngine;

class RootEnvironment : public Environment {
public:
    std::int32_t getState() const override { return state; }
    void setState(std::int32_t value) override { state = value; }
    std::uint32_t getBlockCapacity() const override { return 64; }
    float getSampleRate() const override { return rate; }
    std::int32_t getLatency() const override { return 4; }
    std::int32_t getOutputPolicy(const Module*) const override { return policy; }
    std::uint32_t getChunkSize() const override { return chunk; }
    void structureChanged() override { ++structureChanges; }

    std::int32_t state = 0;
    float rate = 44100.0f;
    std::int32_t policy = 0;
    std::uint32_t chunk = 64;
    int structureChanges = 0;
};

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

inline void bringUp(Module& module, Environment& environment)
{
    module.build(&environment);
    module.connect();
    module.resolveConnections();
    module.bindPorts();
    module.resetParametersToDefaults();
}

inline std::vector<float> samples(const Port& port, std::uint32_t n)
{
    const float* p = port.getBuffer();
    return std::vector<float>(p, p + n);
}

inline bool sameBits(float a, float b) { return std::signbit(a) == std::signbit(b) && (a == b || (a != a && b != b)); }

} // namespace rig
