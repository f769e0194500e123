#pragma once

// Drives any module (leaf or composite) through the framework's lifecycle at a
// settable rate, with one test source on every input, and runs it in chunks.

#include "StageHarness.h"

#include "engine/core/Module.h"
#include "engine/core/Port.h"
#include "tests/support/Signals.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dyntest {

class Runner {
public:
    explicit Runner(AudioEngine::Module& module, float rate = 44100.0f) : module_(module)
    {
        root.rate = rate;
        module_.build(&root);
        module_.connect();
        for (const auto& [name, input] : module_.getInputs()) {
            sources_.push_back(std::make_unique<AudioEngine::OutputBuffered>(name, "", 64));
            input->connect(sources_.back().get());
        }
        module_.resolveConnections();
        module_.bindPorts();
        module_.resetParametersToDefaults();
    }

    // A rate change as the host delivers it: new rate, then update.
    void setRate(float rate)
    {
        root.rate = rate;
        module_.update();
    }

    // Runs the samples of each input (in input-name order; missing ones are
    // silence) in chunks of `chunk` (a multiple of 4, at most 64; the last one
    // padded with zeros) and returns as many samples of "Out", if there is one.
    std::vector<float> run(const std::vector<std::vector<float>>& inputs, std::uint32_t chunk = 64)
    {
        const std::size_t total = inputs.empty() ? 0 : inputs.front().size();
        std::vector<float> output;
        output.reserve(total + 64);
        const AudioEngine::Output* out = module_.getOutputs().find("Out");
        for (std::size_t k = 0; k < total; k += chunk) {
            const std::size_t n = std::min<std::size_t>(chunk, total - k);
            root.chunk = static_cast<std::uint32_t>((n + 3) / 4 * 4);
            for (std::size_t s = 0; s < sources_.size(); ++s) {
                float* in = sources_[s]->getBuffer();
                std::fill(in, in + 64, 0.0f);
                if (s < inputs.size())
                    std::copy_n(inputs[s].begin() + static_cast<std::ptrdiff_t>(k), n, in);
            }
            module_.process();
            if (out != nullptr)
                output.insert(output.end(), out->getBuffer(), out->getBuffer() + n);
        }
        root.chunk = 64;
        return output;
    }

    std::vector<float> run(const std::vector<float>& input, std::uint32_t chunk = 64)
    {
        return run(std::vector<std::vector<float>>{input}, chunk);
    }
    std::vector<float> runConstant(float value, std::size_t count)
    {
        return run(std::vector<float>(count, value));
    }

    stagetest::Root root;

private:
    AudioEngine::Module& module_;
    std::vector<std::unique_ptr<AudioEngine::OutputBuffered>> sources_;
};

inline std::vector<float> sine(double amplitude, double hertz, double fs, std::size_t count)
{
    std::vector<float> x(count);
    for (std::size_t i = 0; i < count; ++i)
        x[i] = static_cast<float>(
            amplitude * std::sin(2.0 * std::numbers::pi * hertz * static_cast<double>(i) / fs));
    return x;
}

using test::peak;

} // namespace dyntest
