#pragma once

// Drives one stage leaf through the framework's lifecycle at a settable rate
// and measures what comes out.

#include "engine/core/Environment.h"
#include "engine/core/ModuleBasic.h"
#include "engine/core/Port.h"
#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

namespace stagetest {

class Root : public AudioEngine::Environment {
public:
    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return 64; }
    float getSampleRate() const override { return rate; }
    std::int32_t getLatency() const override { return 4; }
    std::int32_t getOutputPolicy(const AudioEngine::Module*) const override { return policy; }
    std::uint32_t getChunkSize() const override { return chunk; }
    void structureChanged() override {}

    float rate = 44100.0f;
    std::uint32_t chunk = 64;
    std::int32_t policy = 0;
};

// Owns the environment and the output that feeds the module's "In".
class Harness {
public:
    // policy: the environment's output policy (0 buffered, 2 in place where allowed).
    explicit Harness(AudioEngine::ModuleBasic& module, float rate = 44100.0f,
                     std::int32_t policy = 0)
        : module_(module)
    {
        root.rate = rate;
        root.policy = policy;
        module_.build(&root);
        module_.connect();
        module_.getInput("In").connect(&source_);
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

    // Runs the samples through in chunks of up to 64 (the last one padded with
    // zeros to a multiple of 4) and returns as many output samples.
    std::vector<float> run(const std::vector<float>& input)
    {
        std::vector<float> output;
        output.reserve(input.size() + 64);
        for (std::size_t k = 0; k < input.size(); k += 64) {
            const std::size_t n = std::min<std::size_t>(64, input.size() - k);
            root.chunk = static_cast<std::uint32_t>((n + 3) / 4 * 4);
            float* in = source_.getBuffer();
            std::fill(in, in + 64, 0.0f);
            std::copy(input.begin() + static_cast<std::ptrdiff_t>(k),
                      input.begin() + static_cast<std::ptrdiff_t>(k + n), in);
            module_.process();
            const float* out = module_.getOutput("Out").getBuffer();
            output.insert(output.end(), out, out + n);
        }
        root.chunk = 64;
        return output;
    }

    std::vector<float> runConstant(float value, std::size_t count)
    {
        return run(std::vector<float>(count, value));
    }

    // Amplitude of the response to a unit sine at `hertz` (riding on `offset`),
    // by correlation over the samples after `settle` seconds, after a reset.
    double gainAt(double hertz, double seconds = 0.3, double settle = 0.1, float offset = 0.0f)
    {
        module_.reset();
        const double fs = root.rate;
        const auto total = static_cast<std::size_t>(seconds * fs);
        const auto skip = static_cast<std::size_t>(settle * fs);
        std::vector<float> input = test::sine(total, 1.0f, hertz, fs);
        for (float& x : input)
            x += offset;
        const std::vector<float> output = run(input);
        // Whole periods only, so the correlation has no leakage.
        const auto period = fs / hertz;
        const auto periods = std::floor(static_cast<double>(total - skip) / period);
        const auto end = skip + static_cast<std::size_t>(periods * period);
        std::complex<double> sum = 0.0;
        for (std::size_t k = skip; k < end; ++k)
            sum += static_cast<double>(output[k]) *
                   std::polar(1.0, -2.0 * std::numbers::pi * hertz * static_cast<double>(k) / fs);
        return 2.0 * std::abs(sum) / static_cast<double>(end - skip);
    }

    AudioEngine::OutputBuffered& source() { return source_; }

    Root root;

private:
    AudioEngine::ModuleBasic& module_;
    AudioEngine::OutputBuffered source_{"Source", "", 64};
};

// H(e^jw) of a biquad record.
template <class Z> std::complex<double> biquadResponse(const Z& z, double hertz, double fs)
{
    const std::complex<double> e = std::polar(1.0, -2.0 * std::numbers::pi * hertz / fs);
    const double b0 = z.b0, b1 = z.b1, b2 = z.b2, a1 = z.a1, a2 = z.a2;
    return (b0 + b1 * e + b2 * e * e) / (1.0 + a1 * e + a2 * e * e);
}

// H(e^jw) of a first-order record.
template <class Z> std::complex<double> firstOrderResponse(const Z& z, double hertz, double fs)
{
    const std::complex<double> e = std::polar(1.0, -2.0 * std::numbers::pi * hertz / fs);
    const double b0 = z.b0, b1 = z.b1, a1 = z.a1;
    return (b0 + b1 * e) / (1.0 + a1 * e);
}

inline bool allZero(const std::vector<float>& x)
{
    return std::all_of(x.begin(), x.end(), [](float v) { return v == 0.0f; });
}

inline double dB(double gain)
{
    return 20.0 * std::log10(gain);
}

// Magnitudes of the roots of z^2 + a1 z + a2 (the poles of a biquad).
inline double largestPoleRadius(double a1, double a2)
{
    const std::complex<double> d = std::sqrt(std::complex<double>(a1 * a1 - 4.0 * a2));
    return std::max(std::abs((-a1 + d) / 2.0), std::abs((-a1 - d) / 2.0));
}

} // namespace stagetest
