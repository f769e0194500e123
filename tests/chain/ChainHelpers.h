#pragma once

// Signals, measures and model types for the tests of the whole chain.

#include "tests/support/RigChain.h"
#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace chain {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;
using namespace AudioEngine::BorvanQom::Application;
using rig::Rig;
using rig::stompName;

using CompressorElement = StompElement<CX2::Dynacomp<CX2::DynacompTraits<float>>>;
using ChorusElement = StompElement<CX2::ChorusRI1Mono<CX2::ChorusRI1MonoTraits>>;
using DelayElement = StompElement<CX2::MemoryMan<CX2::MemoryManTraits>>;
using OctaverElement = StompElement<Octaver<OctaverTraits>>;
using Cabinet = CX2::Application::ModuleCX2<CabinetBorvan<WooferSetTraits, TweeterSetTraits>>;

// The stomp models in the order of "Stomp".
inline const std::vector<std::string>& stompModels()
{
    static const std::vector<std::string> names = {"Empty",          "Compressor", "AnalogChorus",
                                                   "EnvelopeFilter", "BassWah",    "Volume",
                                                   "Overdrive",      "Octaver",    "AnalogDelay"};
    return names;
}

// A plucked bass line: a few decaying notes of harmonics, the same for the
// same seed, peaks around 0.5.
inline std::vector<float> phrase(std::size_t frames, float rate = 44100.0f, unsigned seed = 7)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    const double notes[] = {41.2, 55.0, 73.4, 82.4, 61.7};
    std::vector<float> x(frames);
    const std::size_t noteLength = static_cast<std::size_t>(0.12 * rate);
    for (std::size_t start = 0, n = 0; start < frames; start += noteLength, ++n) {
        const double f = notes[n % 5];
        double p[6];
        for (double& v : p)
            v = phase(rng);
        for (std::size_t i = start; i < std::min(frames, start + noteLength); ++i) {
            const double t = double(i - start) / rate;
            double s = 0.0;
            for (int h = 1; h <= 6; ++h)
                s += std::sin(2.0 * std::numbers::pi * f * h * t + p[h - 1]) / h;
            x[i] += static_cast<float>(0.35 * s * std::exp(-6.0 * t) * std::min(1.0, t * 2000.0));
        }
    }
    return x;
}

using test::rms;

inline bool allFinite(const std::vector<float>& x)
{
    for (float v : x)
        if (!std::isfinite(v))
            return false;
    return true;
}
inline bool allFinite(const rig::Stereo& y)
{
    return allFinite(y.left) && allFinite(y.right);
}

// |H(f)| of a first-order or biquad section's coefficients.
template <class Z> double magnitude(const Z& k, double hertz, double rate)
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hertz / rate);
    if constexpr (requires { k.b2; })
        return std::abs((double(k.b0) + double(k.b1) * z1 + double(k.b2) * z1 * z1) /
                        (1.0 + double(k.a1) * z1 + double(k.a2) * z1 * z1));
    else
        return std::abs((double(k.b0) + double(k.b1) * z1) / (1.0 + double(k.a1) * z1));
}

inline StompSelector& slot(Rig& r, int k)
{
    auto& stomps = r.set().getSubModule("StompModule");
    return dynamic_cast<StompSelector&>(
        dynamic_cast<ModuleStructured&>(stomps).getSubModule(std::to_string(k)));
}
template <class M> M& current(Rig& r, int k)
{
    return dynamic_cast<M&>(*slot(r, k).getCurrentElement());
}

inline AmpSelector& ampSelector(Rig& r)
{
    return dynamic_cast<AmpSelector&>(r.module<ModuleStructured>("AmpModule").getSubModule("0"));
}

// Chooses a stomp model by name in slot k, at once.
inline void chooseStomp(Rig& r, int k, const std::string& model)
{
    r.setNow(stompName("Stomp", k), r.state(stompName("Stomp", k), model));
}

// The loaded rig: compressor, octaver, envelope filter "24" "BP", overdrive,
// chorus and analog delay at depth 0.4 in slots 0 to 5, amp "V9E" at the
// detailed power amp level, the start-up cabinet.
inline void loadFull(Rig& r)
{
    r.applyDefaults();
    const char* models[] = {"Compressor", "Octaver",      "EnvelopeFilter",
                            "Overdrive",  "AnalogChorus", "AnalogDelay"};
    for (int k = 0; k < 6; ++k)
        chooseStomp(r, k, models[k]);
    r.setNow(stompName("Sensitivity_Compressor", 0), 0.7f);
    r.setNow(stompName("OctaveLevel", 1), 0.8f);
    r.setNow(stompName("Poles", 2), r.state(stompName("Poles", 2), "24"));
    r.setNow(stompName("Mode", 2), r.state(stompName("Mode", 2), "BP"));
    r.setNow(stompName("Level", 3), 0.6f);
    r.setNow(stompName("Depth", 5), 0.4f);
    r.setNow(stompName("Delay", 5), 120.0f);
    r.setNow("Model_0_AmpModule", static_cast<float>(amps::Model::V9E));
    for (const auto& [name, v] : amps::headDefaults(amps::Model::V9E, 1.0f))
        r.setNow(amps::ampName(name), v);
    r.set().reset();
}

} // namespace chain
