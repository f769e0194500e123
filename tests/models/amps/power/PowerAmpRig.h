#pragma once

// Drives one power-amp module (a level on its own or the whole power amp)
// through the lifecycle a host runs, at a settable rate and output policy,
// feeding it samples in pieces of up to 64.

#include "engine/core/Port.h"
#include "models/amps/power/PowerAmpTraits.h"
#include "tests/engine/core/TestModules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace powertest {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

template <class M> class Rig {
public:
    explicit Rig(float rate = 44100.0f, std::int32_t policy = 0)
    {
        environment.rate = rate;
        environment.policy = policy;
        module.setInstanceName("PowerAmp");
        module.build(&environment);
        module.connect();
        module.getInput("In").connect(&feed_);
        module.resolveConnections();
        module.bindPorts();
        module.resetParametersToDefaults();
    }

    void set(const std::string& name, float value) { module.setParameter(name, value); }
    float get(const std::string& name) { return module.getParameter(name).getValue(); }

    // A rate change as the host delivers it: the new rate, then update.
    void setRate(float rate)
    {
        environment.rate = rate;
        module.update();
    }

    // Runs the samples in pieces of up to 64 (the last one padded with zeros
    // to a multiple of 4) and returns as many output samples.
    std::vector<float> run(const std::vector<float>& input)
    {
        std::vector<float> output;
        output.reserve(input.size() + 64);
        for (std::size_t k = 0; k < input.size(); k += 64) {
            const std::size_t n = std::min<std::size_t>(64, input.size() - k);
            environment.chunk = static_cast<std::uint32_t>((n + 3) / 4 * 4);
            float* in = feed_.getBuffer();
            std::fill(in, in + 64, 0.0f);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(k), n, in);
            module.process();
            const float* out = module.getOutput("Out").getBuffer();
            output.insert(output.end(), out, out + n);
        }
        environment.chunk = 64;
        return output;
    }

    std::vector<float> runConstant(float value, std::size_t count)
    {
        return run(std::vector<float>(count, value));
    }

    test::RootEnvironment environment;
    M module;

private:
    OutputBuffered feed_{"Feed", "", 64};
};

inline std::vector<float> sine(double amplitude, double hertz, double seconds, double rate)
{
    std::vector<float> x(static_cast<std::size_t>(seconds * rate));
    for (std::size_t k = 0; k < x.size(); ++k)
        x[k] = static_cast<float>(amplitude * std::sin(2.0 * 3.14159265358979323846 * hertz *
                                                       static_cast<double>(k) / rate));
    return x;
}

inline bool allFinite(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v); });
}

} // namespace powertest
