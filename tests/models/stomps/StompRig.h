#pragma once

// The full stomp chain in a module host, as the engine runs it, for tests of
// single models in their slots.

#include "engine/host/ModuleHost.h"
#include "models/stomps/StompSelector.h"

#include <string>
#include <string_view>
#include <vector>

namespace stomps {

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

struct ChainCreators : ModuleSelectorDetails::ModuleCreators {
    ChainCreators() { add<StompChain>("Stomps"); }
};
struct ChainTraits {
    using Creators = ChainCreators;
};

inline ModuleSetDescription chainDescription()
{
    ModuleSetDescription d;
    d.modules = {{"Stomps", "StompModule"}};
    d.hostInputs.insert({"In", {"StompModule", "In"}});
    d.hostOutputs.insert({"Out", {"StompModule", "Out"}});
    return d;
}

struct ChainRig {
    ChainRig() : host(chainDescription()) {}

    ModuleSetBase& set() { return host.getModuleSet(); }
    StompChain& chain() { return dynamic_cast<StompChain&>(set().getSubModule("StompModule")); }
    Application::StompSelector& slot(int k)
    {
        return dynamic_cast<Application::StompSelector&>(chain().getSubModule(std::to_string(k)));
    }
    template <class Model> Model& model(int k)
    {
        return dynamic_cast<Model&>(*slot(k).getCurrentElement());
    }

    // Sets a set-level name at once, as the change queue does between pieces
    // once a slew has arrived.
    void set(std::string_view name, float value) { set().setParameter(name, value); }
    float value(std::string_view name) { return set().getParameter(name).getValue(); }

    // Runs `frames` samples of `input` through the host (4 samples of latency).
    std::vector<float> run(const std::vector<float>& input)
    {
        std::vector<float> output(input.size());
        const float* in[] = {input.data()};
        float* out[] = {output.data()};
        host.processHost(in, out, static_cast<std::uint32_t>(input.size()));
        return output;
    }
    std::vector<float> run(std::size_t frames, float level)
    {
        return run(std::vector<float>(frames, level));
    }

    ModuleHost<ChainTraits> host;
};

} // namespace stomps
