#pragma once

// Stub modules of the rig's real type and port names, the rig's chain
// description over them, and a minimal engine facade.

#include "engine/core/ModuleBasic.h"
#include "engine/core/ModuleStructured.h"
#include "engine/host/ModuleHost.h"
#include "tests/support/ChainDescription.h"

#include <mutex>
#include <string>
#include <vector>

namespace test {

using namespace AudioEngine;

// Each output is the mean of its listed inputs: copies for one input, and an
// exact copy again for two equal inputs.
struct Route {
    std::string output;
    std::vector<std::string> inputs;
};

template <class Shape> class Stub : public ModuleBasic {
public:
    Stub() : ModuleBasic(ModuleInfo{0, Shape::type, ""}) {}

    void createInputs() override
    {
        for (const auto& route : Shape::routes())
            for (const auto& name : route.inputs)
                if (!inputs_.contains(name))
                    inputs_.addInput(Input(name, ""), name);
    }
    void createOutputsBuffered() override
    {
        for (const auto& route : Shape::routes())
            addOutputBuffered(OutputBuffered(route.output, "", blockCapacity_));
    }
    void createParameters() override { Shape::parameters(parameters_); }
    void bindPorts() override
    {
        bound_.clear();
        for (const auto& route : Shape::routes()) {
            Bound b{&getOutput(route.output), {}};
            for (const auto& name : route.inputs)
                b.inputs.push_back(&getInput(name));
            bound_.push_back(b);
        }
    }
    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        ++pieces;
        lastChunk = n;
        for (const Bound& b : bound_) {
            float* y = b.output->getBuffer();
            const float scale = 1.0f / static_cast<float>(b.inputs.size());
            for (std::uint32_t i = 0; i < n; ++i) {
                float sum = 0.0f;
                for (const Port* in : b.inputs)
                    sum += in->getBuffer()[i];
                y[i] = sum * scale;
            }
        }
        return n;
    }
    void update() override { ++updates; }

    int pieces = 0;
    int updates = 0;
    std::uint32_t lastChunk = 0;

private:
    struct Bound {
        Port* output;
        std::vector<Port*> inputs;
    };
    std::vector<Bound> bound_;
};

inline void noParameters(Parameters&)
{
}

struct MeterShape {
    static constexpr const char* type = "LedMeter";
    static std::vector<Route> routes() { return {{"Out", {"In"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Level", "", -100, 0, -100, 0x01), "Level");
    }
};
struct TunerShape {
    static constexpr const char* type = "Tuner";
    static std::vector<Route> routes() { return {{"Out", {"In"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Reference", "Hz", 400, 480, 440, 0), "Reference");
        p.addParameter(Parameter("Mute", "", ParameterBase::States{"Mute", "On"}, "On", 0), "Mute");
        p.addParameter(Parameter("On", "", ParameterBase::States{"Off", "On"}, "Off", 0), "On");
    }
};
struct GainShape {
    static constexpr const char* type = "GaindB";
    static std::vector<Route> routes() { return {{"Out", {"In"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Gain", "", -20, 20, 0, 0), "Gain");
    }
};
struct SplitterShape {
    static constexpr const char* type = "Splitter";
    static std::vector<Route> routes() { return {{"Out1", {"In"}}, {"Out2", {"In"}}}; }
    static void parameters(Parameters&) {}
};
struct PhaseAdjustShape {
    static constexpr const char* type = "PhaseAdjust";
    static std::vector<Route> routes() { return {{"Out", {"In"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Delay", "ms", 0, 20, 0, 0), "Delay");
    }
};
struct PassShape {
    static constexpr const char* type = "Pass";
    static std::vector<Route> routes() { return {{"Out", {"In"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(
            Parameter("Model", "", ParameterBase::States{"Empty", "A", "B"}, "Empty", 0x02),
            "Model");
    }
};
struct OtherPassShape {
    static constexpr const char* type = "OtherPass";
    static std::vector<Route> routes() { return {{"Out", {"In"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Drive", "", 0, 1, 0.5f, 0), "Drive");
    }
};
struct AmbienceShape {
    static constexpr const char* type = "Ambience";
    static std::vector<Route> routes() { return {{"OutL", {"InL"}}, {"OutR", {"InR"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Level", "", 0, 127, 0, 0), "Level");
    }
};
struct GainStereoShape {
    static constexpr const char* type = "ModuleDualMono";
    static std::vector<Route> routes() { return {{"OutL", {"InL"}}, {"OutR", {"InR"}}}; }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Gain", "", -20, 20, 0, 0), "Gain");
    }
};
struct MixerShape {
    static constexpr const char* type = "MixerStereo";
    static std::vector<Route> routes()
    {
        return {{"OutL", {"In1L", "In2L"}}, {"OutR", {"In1R", "In2R"}}};
    }
    static void parameters(Parameters& p)
    {
        p.addParameter(Parameter("Mix", "", 0, 1, 0.5f, 0), "Mix");
    }
};

// A wrapped chain with a "Process" mode and one element "0", standing in for
// the stomp, amp and cabinet chains. swapElement replaces the element by one
// with other parameters and reports the structure change, as a model switch does.
class ChainStub : public ModuleMono {
public:
    ChainStub() : ModuleMono(ModuleInfo{0, "ModuleArray", ""}) {}

    void createSubModules() override { addSubModule<Stub<PassShape>>("0"); }
    // Opaque, as a switching chain's output must be: readers downstream stop
    // here instead of resolving through to an element that may be replaced.
    void createOutputs() override
    {
        outputs_.addConnectableOutput(Port("Out", "", &getSubModule("0").getOutput("Out")), "Out");
    }
    void createParameters() override
    {
        ModuleMono::createParameters();
        parameters_.addParameter(
            Parameter("Process", "",
                      ParameterBase::States{"Normal", "Bypass", "Mute", "MuteIn", "Stop"}, "Normal",
                      0),
            "Process");
    }
    void swapElement()
    {
        Module* element = addSubModule<Stub<OtherPassShape>>("0");
        element->build(localEnvironment());
        connect();
        resolveConnections();
        element->bindPorts();
        parameters_.eraseIf([](const ParameterBase& p) { return p.getName() != "Process"; });
        ModuleMono::createParameters();
        parent_->structureChanged();
    }
};

class TestCreators : public ModuleSelectorDetails::ModuleCreators {
public:
    TestCreators()
    {
        add<Stub<GainShape>>("Gain");
        add<Stub<GainStereoShape>>("GainStereo");
        add<Stub<MeterShape>>("LedMeter");
        add<Stub<AmbienceShape>>("Ambience");
        add<Stub<TunerShape>>("Tuner");
        add<ChainStub>("Stomps");
        add<Stub<PhaseAdjustShape>>("PhaseAdjust");
        add<Stub<MixerShape>>("MixerStereo");
        add<ChainStub>("Amps");
        add<ChainStub>("Convolver");
        add<Stub<SplitterShape>>("Splitter");
    }
};

struct TestTraits {
    using Creators = TestCreators;
};
using TestHost = ModuleHost<TestTraits>;

// The rig's top-level chain over the stubs above.
inline ModuleSetDescription rigDescription()
{
    return rig::chainDescription();
}

// What the plug-in core's engine facade does with the host: one lock around
// processing, pushes and the rate; values read without it.
class TestFacade {
public:
    explicit TestFacade(ModuleSetDescription description = rigDescription())
        : host(std::move(description))
    {
    }

    void process(const float* const* inputs, float* const* outputs, std::uint32_t frames)
    {
        std::lock_guard lock(mutex_);
        host.processHost(inputs, outputs, frames);
    }
    ModuleHostDetails::ParameterChanges::Push set(std::string_view name, float value)
    {
        std::lock_guard lock(mutex_);
        return host.getParameterChanges().push(name, value);
    }
    bool setRate(float rate)
    {
        std::lock_guard lock(mutex_);
        return host.setSampleRate(rate);
    }
    float get(std::string_view name) const { return host.readValue(name); }

    TestHost host;

private:
    std::mutex mutex_;
};

} // namespace test
