#pragma once

// A cabinet on a settable root environment, fed from a buffered source port, and the reference
// arithmetic its tests compare against (double precision).

#include "engine/core/Environment.h"
#include "engine/core/Port.h"
#include "models/cabinet/CabinetBorvan.h"
#include "models/cabinet/ImpulseSets.h"
#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace cabinet_test {

using namespace AudioEngine;
using Cabinet = CabinetBorvan<BorvanQom::WooferSetTraits, BorvanQom::TweeterSetTraits>;
using test::noise;

class Environment : public AudioEngine::Environment {
public:
    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return 64; }
    float getSampleRate() const override { return rate; }
    std::int32_t getLatency() const override { return 0; }
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }
    std::uint32_t getChunkSize() const override { return chunk; }
    void structureChanged() override {}

    float rate = 44100.0f;
    std::uint32_t chunk = 64;
};

// Builds, wires and binds a module the way a module set does, then feeds it signals.
template <class Module = Cabinet> class Rig {
public:
    explicit Rig(float rate = 44100.0f)
    {
        environment.rate = rate;
        module.setInstanceName("CabModule");
        module.build(&environment);
        module.getInput("In").connect(&source);
        module.resolveConnections();
        module.bindPorts();
        module.resetParametersToDefaults();
    }

    // Runs the signal in chunks of `chunk` samples (a multiple of 4, at most 64).
    std::vector<float> run(const std::vector<float>& input, std::uint32_t chunk = 64)
    {
        std::vector<float> output;
        output.reserve(input.size());
        environment.chunk = chunk;
        for (std::size_t done = 0; done < input.size(); done += chunk) {
            const std::size_t n = std::min<std::size_t>(chunk, input.size() - done);
            environment.chunk = static_cast<std::uint32_t>(n);
            std::copy_n(input.begin() + done, n, source.getBuffer());
            module.process();
            const float* y = module.getOutput("Out").getBuffer();
            output.insert(output.end(), y, y + n);
        }
        return output;
    }

    Environment environment;
    OutputBuffered source{"Source", "", 64};
    Module module;
};

// Sample n of the result is the sum of samples n, n + L, n + 2L, ... of the table.
inline std::vector<double> fold(const float* table, std::size_t length, std::size_t L)
{
    std::vector<double> folded(L, 0.0);
    for (std::size_t i = 0; i < length; ++i)
        folded[i % L] += table[i];
    return folded;
}

inline std::vector<double> convolve(const std::vector<float>& input,
                                    const std::vector<double>& impulse)
{
    std::vector<double> y(input.size(), 0.0);
    for (std::size_t n = 0; n < input.size(); ++n)
        for (std::size_t k = 0; k < impulse.size() && k <= n; ++k)
            y[n] += impulse[k] * input[n - k];
    return y;
}

// Largest difference relative to the largest expected magnitude, or to `scale` when that is
// larger.
inline double relativeError(const std::vector<float>& actual, const std::vector<double>& expected,
                            double scale = 0.0)
{
    double error = 0.0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        error = std::max(error, std::fabs(actual[i] - expected[i]));
        scale = std::max(scale, std::fabs(expected[i]));
    }
    return error / scale;
}

} // namespace cabinet_test
