#pragma once

// The rig's whole signal chain in a module host over the real creator table,
// as the engine builds it, and the rig's start-up settings as a fresh
// processor's document and engine units send them.

#include "engine/host/ModuleHost.h"
#include "models/RigModuleCreators.h"
#include "plugin/docview/MAFInterface.h"
#include "plugin/engine/Main.h"
#include "plugin/rig/AmpModels.h"
#include "plugin/rig/DsmActivePreference.h"
#include "plugin/rig/Rig.h"
#include "tests/support/AmpHeadSettings.h"
#include "tests/support/ChainDescription.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rig {

using namespace AudioEngine;

struct RigTraits {
    using Creators = AudioEngine::BorvanQom::Application::ModuleCreators;
};

// The module host delays everything by this many samples.
constexpr std::size_t kLatency = 4;
constexpr int kSlots = 6;

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// A stomp control by its exposed name: "<name>_<slot>_StompModule".
inline std::string stompName(std::string_view name, int slot)
{
    return std::string(name) + "_" + std::to_string(slot) + "_StompModule";
}

// A piece long enough that every slewed change arrives in one step.
constexpr float kAtOnceSeconds = 1.0e6f;

// The engine units' door into a bare module host, as the engine facade opens
// it onto its own: changes are queued, named states looked up on the graph.
class StartUpDoor : public Zq::Application::DocView::MAFInterface {
public:
    explicit StartUpDoor(ModuleHostBase& host) : host_(host) {}

    void setParameterByName(const std::string& path, const std::string& valueName) override
    {
        setParameter(path, lookupNamedValue(path, valueName));
    }
    void setParameter(const std::string& path, float value) override
    {
        host_.getParameterChanges().push(path, value);
    }
    float getParameter(const std::string& path) override { return host_.readValue(path); }
    float lookupNamedValue(const std::string& path, const std::string& valueName) override
    {
        const ParameterBase* parameter = host_.getModuleSet().findParameter(path);
        return parameter ? parameter->getStates().find(valueName).value_or(0.0f) : 0.0f;
    }

private:
    ModuleHostBase& host_;
};

struct Rig {
    // The chain with every module at its defaults; applyDefaults() gives the
    // rig as it starts.
    explicit Rig(float rate = 44100.0f) : host(chainDescription())
    {
        if (rate != 44100.0f && !host.setSampleRate(rate))
            throw std::invalid_argument("rate refused");
    }

    ModuleSetBase& set() { return host.getModuleSet(); }
    template <class M> M& module(std::string_view instance)
    {
        return dynamic_cast<M&>(set().getSubModule(instance));
    }

    // Through the change queue, as the engine's control side sends it: applied
    // at the next piece, slewed where the parameter slews.
    void push(std::string_view name, float value) { host.getParameterChanges().push(name, value); }
    // At once, as the queue leaves a value once its slew has arrived.
    void setNow(std::string_view name, float value) { set().setParameter(name, value); }
    float value(std::string_view name) const { return host.readValue(name); }
    // The value of a named state of a parameter; throws for an unknown state.
    float state(std::string_view name, const std::string& stateName) const
    {
        const auto states = host.getParameterStates(name);
        const auto it = states.find(stateName);
        if (it == states.end())
            throw std::out_of_range("no state \"" + stateName + "\" of \"" + std::string(name) +
                                    "\"");
        return it->second;
    }

    // The rig at start-up, as a fresh processor holds it: a fresh rig
    // document, with the detail level a first run stores, bound by the
    // engine units, whose changes go through this graph's change queue as the
    // engine facade sends them. The queue is then emptied at once (every
    // value in place, no glide) and the graph is reset, so the chain starts
    // from rest.
    void applyDefaults()
    {
        {
            StartUpDoor door(host);
            Zq::BorvanRAZ::Document::Rig document;
            Zq::BorvanRAZ::Engine::Main engine(document, door);
            auto* head = dynamic_cast<Zq::BorvanRAZ::Document::TubeAmpModel*>(
                document.getAmpModule().getAmpModel());
            if (head == nullptr)
                throw std::logic_error("the fresh rig's head has no detail level");
            head->dsmActive.setValue(
                static_cast<float>(Zq::BorvanRAZ::Document::DsmActivePreference::kFirstRunValue),
                true);
        }
        auto& changes = host.getParameterChanges();
        while (changes.getPendingCount() > 0)
            host.drainChanges(kAtOnceSeconds);
        set().reset();
    }

    // Runs the mono input in host blocks of the sizes `blocks` gives in turn.
    Stereo run(const std::vector<float>& input, const std::vector<std::uint32_t>& blocks = {256})
    {
        Stereo y{std::vector<float>(input.size()), std::vector<float>(input.size())};
        std::size_t done = 0;
        for (std::size_t k = 0; done < input.size(); ++k) {
            const auto n = static_cast<std::uint32_t>(
                std::min<std::size_t>(blocks[k % blocks.size()], input.size() - done));
            const float* in[] = {input.data() + done};
            float* out[] = {y.left.data() + done, y.right.data() + done};
            host.processHost(in, out, n);
            done += n;
        }
        return y;
    }
    Stereo run(std::size_t frames, float level = 0.0f)
    {
        return run(std::vector<float>(frames, level));
    }

    ModuleHost<RigTraits> host;
};

} // namespace rig
