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

// Brings a one-input element up in the environment with its "In" reading
// the feed, ports bound after the connection is resolved.
inline void plugIn(Module& element, Environment& environment, Feed& feed)
{
    bringUp(element, environment);
    element.getInput("In").connect(&feed);
    element.resolveConnections();
    element.bindPorts();
}

// One element fed by one feed in a root environment of its own.
template <class Element> struct ElementRig {
    explicit ElementRig(float rate = 44100.0f, std::uint32_t chunk = 64)
    {
        environment.rate = rate;
        environment.chunk = chunk;
        plugIn(element, environment, feed);
    }

    RootEnvironment environment;
    Element element;
    Feed feed;
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
