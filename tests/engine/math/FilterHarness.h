#pragma once

// Drives one filter leaf through the framework's lifecycle and measures its
// gain at a frequency from its output.

#include "engine/core/Environment.h"
#include "engine/core/ModuleBasic.h"
#include "engine/core/Port.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace mathtest {

class Root : public AudioEngine::Environment {
public:
    std::int32_t getState() const override { return 0; }
    void setState(std::int32_t) override {}
    std::uint32_t getBlockCapacity() const override { return 64; }
    float getSampleRate() const override { return rate; }
    std::int32_t getLatency() const override { return 4; }
    std::int32_t getOutputPolicy(const AudioEngine::Module*) const override { return 0; }
    std::uint32_t getChunkSize() const override { return chunk; }
    void structureChanged() override {}

    float rate = 44100.0f;
    std::uint32_t chunk = 64;
};

// Owns the environment and the output that feeds the module's "In".
class Harness {
public:
    explicit Harness(AudioEngine::ModuleBasic& module) : module_(module)
    {
        module_.build(&root);
        module_.connect();
        module_.getInput("In").connect(&source_);
        module_.resolveConnections();
        module_.bindPorts();
        module_.resetParametersToDefaults();
    }

    // Runs a sine of the given frequency through process() for `seconds`, skips
    // the first `settle` seconds, and returns the output's amplitude by
    // correlation with sine and cosine over whole periods of the window.
    double gainAt(double hertz, double seconds = 1.0, double settle = 0.1)
    {
        module_.reset();
        const double fs = root.rate;
        const auto total = static_cast<std::uint64_t>(seconds * fs);
        const auto skip = static_cast<std::uint64_t>(settle * fs);
        std::complex<double> sum = 0.0;
        std::uint64_t counted = 0;
        std::uint64_t k = 0;
        while (k < total) {
            float* in = source_.getBuffer();
            for (std::uint32_t i = 0; i < root.chunk; ++i)
                in[i] = static_cast<float>(
                    std::sin(2.0 * std::numbers::pi * hertz * static_cast<double>(k + i) / fs));
            module_.process();
            const float* out = module_.getOutput("Out").getBuffer();
            for (std::uint32_t i = 0; i < root.chunk; ++i, ++k) {
                if (k < skip)
                    continue;
                sum +=
                    static_cast<double>(out[i]) *
                    std::polar(1.0, -2.0 * std::numbers::pi * hertz * static_cast<double>(k) / fs);
                ++counted;
            }
        }
        return 2.0 * std::abs(sum) / static_cast<double>(counted);
    }

    Root root;

private:
    AudioEngine::ModuleBasic& module_;
    AudioEngine::OutputBuffered source_{"Source", "", 64};
};

// |H(e^jw)| of z-domain coefficients at a frequency.
template <class Z> double biquadMagnitude(const Z& z, double hertz, double fs)
{
    const std::complex<double> e = std::polar(1.0, -2.0 * std::numbers::pi * hertz / fs);
    const double b0 = z.b0, b1 = z.b1, b2 = z.b2, a1 = z.a1, a2 = z.a2;
    return std::abs((b0 + b1 * e + b2 * e * e) / (1.0 + a1 * e + a2 * e * e));
}

// |H(s)| of an analogue second-order prototype at the analogue frequency that
// the bilinear transform maps onto the digital frequency `hertz`.
inline double analogueMagnitudeAtDigital(double B0, double B1, double B2, double A0, double A1,
                                         double A2, double hertz, double fs)
{
    const double w = 2.0 * fs * std::tan(std::numbers::pi * hertz / fs);
    const std::complex<double> s(0.0, w);
    return std::abs((B0 + B1 * s + B2 * s * s) / (A0 + A1 * s + A2 * s * s));
}

inline double dB(double gain)
{
    return 20.0 * std::log10(gain);
}

} // namespace mathtest
