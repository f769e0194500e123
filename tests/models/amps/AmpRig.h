#pragma once

// The amp chain in a module host as the rig runs it: host "In" into
// "AmpModule", its "Out" through "Volume_PanVolume_AmpModule" to the host
// output. "InDry" stays unconnected and reads silence, as in the rig. The
// head settings live in tests/support/AmpHeadSettings.h.

#include "engine/host/ModuleHost.h"
#include "models/RigModuleCreators.h"
#include "models/amps/AmpSelector.h"
#include "tests/support/AmpHeadSettings.h"
#include "tests/support/Signals.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace amps {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

struct RigTraits {
    using Creators = Application::ModuleCreators;
};

inline ModuleSetDescription ampDescription()
{
    ModuleSetDescription d;
    d.modules = {{"Amps", "AmpModule"}, {"Gain", "Volume_PanVolume_AmpModule"}};
    d.connections = {{"AmpModule", "Out", "Volume_PanVolume_AmpModule", "In"}};
    d.hostInputs.insert({"In", {"AmpModule", "In"}});
    d.hostOutputs.insert({"Out", {"Volume_PanVolume_AmpModule", "Out"}});
    return d;
}

struct AmpRig {
    explicit AmpRig(float rate = 44100.0f) : host(ampDescription())
    {
        if (rate != 44100.0f)
            host.setSampleRate(rate);
    }

    ModuleSetBase& set() { return host.getModuleSet(); }
    AmpChain& chain() { return dynamic_cast<AmpChain&>(set().getSubModule("AmpModule")); }
    Application::AmpSelector& selector()
    {
        return dynamic_cast<Application::AmpSelector&>(chain().getSubModule("0"));
    }
    Module& head() { return *selector().getCurrentElement(); }

    // Through the change queue, as the engine's control side sends it; it is
    // applied at the next piece (slewed where the parameter slews).
    void push(std::string_view name, float value) { host.getParameterChanges().push(name, value); }
    void pushHead(std::string_view name, float value) { push(ampName(name), value); }
    // Chooses a model and sends its settings after the switch, as the rig does.
    void choose(Model model, const Settings& settings)
    {
        push("Model_0_AmpModule", static_cast<float>(model));
        for (const auto& [name, value] : settings)
            pushHead(name, value);
    }
    void choose(Model model) { choose(model, headDefaults(model)); }
    float value(std::string_view name) { return set().getParameter(name).getValue(); }
    float headValue(std::string_view name) { return value(ampName(name)); }

    // Runs the input in host blocks of the sizes `blocks` gives in turn (the
    // host adds 4 samples of latency).
    std::vector<float> run(const std::vector<float>& input,
                           const std::vector<std::uint32_t>& blocks = {256})
    {
        std::vector<float> output(input.size());
        std::size_t done = 0;
        for (std::size_t k = 0; done < input.size(); ++k) {
            const auto n = static_cast<std::uint32_t>(
                std::min<std::size_t>(blocks[k % blocks.size()], input.size() - done));
            const float* in[] = {input.data() + done};
            float* out[] = {output.data() + done};
            host.processHost(in, out, n);
            done += n;
        }
        return output;
    }
    std::vector<float> run(std::size_t frames, float level = 0.0f)
    {
        return run(std::vector<float>(frames, level));
    }

    ModuleHost<RigTraits> host;
};

constexpr std::size_t kLatency = 4;

// One head as a test plays it: the model, its "DSM" level and, on the V9E,
// its power mode.
struct HeadSetup {
    Model model;
    float dsm;
    float watts;
};

// Every head, each tube head at both levels, the V9E in both power modes.
inline constexpr HeadSetup kHeadSetups[] = {{Model::RKMClassic, 0, 1}, {Model::RKMClassic, 1, 1},
                                            {Model::RE500, 0, 1},      {Model::RKM4Pro, 0, 1},
                                            {Model::V9E, 0, 0},        {Model::V9E, 1, 0},
                                            {Model::V9E, 0, 1},        {Model::V9E, 1, 1}};

inline std::string describe(const HeadSetup& s)
{
    return "model " + std::to_string(int(s.model)) + " DSM " + std::to_string(int(s.dsm)) +
           " mode " + std::to_string(int(s.watts));
}

// A sub-module of a composite by its path of names.
template <class Path = std::initializer_list<std::string_view>>
inline Module& subModule(Module& root, const Path& path)
{
    Module* module = &root;
    for (std::string_view name : path)
        module = &dynamic_cast<ModuleStructured&>(*module).getSubModule(name);
    return *module;
}

using test::peak;
using test::sine;
using test::sweep;

} // namespace amps
