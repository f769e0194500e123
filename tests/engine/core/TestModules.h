#pragma once

// Small modules and a root environment for exercising the object model.

#include "engine/core/ModuleBasic.h"
#include "engine/core/ModuleStructured.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace test {

using namespace AudioEngine;

// A root environment with settable answers.
class RootEnvironment : public Environment {
public:
    std::int32_t getState() const override { return state; }
    void setState(std::int32_t value) override { state = value; }
    std::uint32_t getBlockCapacity() const override { return capacity; }
    float getSampleRate() const override { return rate; }
    std::int32_t getLatency() const override { return latency; }
    std::int32_t getOutputPolicy(const Module*) const override { return policy; }
    std::uint32_t getChunkSize() const override { return chunk; }
    void structureChanged() override { ++structureChanges; }

    std::int32_t state = 0;
    std::uint32_t capacity = 64;
    float rate = 44100.0f;
    std::int32_t latency = 4;
    std::int32_t policy = 0;
    std::uint32_t chunk = 64;
    int structureChanges = 0;
};

// Copies "In" to its buffered "Out" and writes every lifecycle step to a log.
class Leaf : public ModuleBasic {
public:
    explicit Leaf(std::vector<std::string>* log = nullptr, std::uint32_t flags = 0)
        : ModuleBasic(ModuleInfo{flags, "TestLeaf", ""}), log_(log)
    {
    }
    ~Leaf() override { record("destroyed"); }

    void setEnvironment(Environment* environment) override
    {
        record("setEnvironment");
        ModuleBasic::setEnvironment(environment);
    }
    void createParameters() override
    {
        record("createParameters");
        parameters_.addParameter(Parameter("Gain", "", 0.0f, 2.0f, 1.0f, 0), "Gain");
    }
    void createInputs() override
    {
        record("createInputs");
        ModuleBasic::createInputs();
    }
    void createOutputs() override
    {
        record("createOutputs");
        ModuleBasic::createOutputs();
    }
    void prepare() override
    {
        record("prepare");
        ModuleBasic::prepare();
    }
    void connect() override { record("connect"); }
    void resolveConnections() override
    {
        record("resolveConnections");
        ModuleBasic::resolveConnections();
    }
    void bindPorts() override
    {
        record("bindPorts");
        in_ = &getInput("In");
        out_ = &getOutput("Out");
        gain_ = &getParameter("Gain");
    }
    void resetParametersToDefaults() override
    {
        record("resetParametersToDefaults");
        ModuleBasic::resetParametersToDefaults();
    }

    std::uint32_t processBlock() override { return run("processBlock"); }
    std::uint32_t processBlockVector() override { return run("processBlockVector"); }
    std::uint32_t processBlockAlt() override { return run("processBlockAlt"); }

    std::string lastRoutine;

private:
    std::uint32_t run(const char* routine)
    {
        lastRoutine = routine;
        const std::uint32_t n = getChunkSize();
        const float* x = in_->getBuffer();
        float* y = out_->getBuffer();
        const float g = gain_->getValue();
        for (std::uint32_t i = 0; i < n; ++i)
            y[i] = g * x[i];
        return n;
    }
    void record(const char* step)
    {
        if (log_)
            log_->push_back(instanceName_ + ":" + step);
    }

    std::vector<std::string>* log_;
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* gain_ = nullptr;
};

// Writes a fixed ramp (value k + offset at sample k) into its buffered "Out".
class Source : public ModuleBasic {
public:
    explicit Source(float offset = 0.0f)
        : ModuleBasic(ModuleInfo{0, "TestSource", ""}), offset_(offset)
    {
    }
    void createInputs() override {}
    void bindPorts() override { out_ = &getOutput("Out"); }
    std::uint32_t processBlock() override
    {
        float* y = out_->getBuffer();
        for (std::uint32_t i = 0; i < getChunkSize(); ++i)
            y[i] = offset_ + static_cast<float>(i);
        return getChunkSize();
    }

private:
    float offset_;
    Port* out_ = nullptr;
};

// A composite whose structure a test supplies as functions.
class Composite : public ModuleStructured {
public:
    using Hook = std::function<void(Composite&)>;

    explicit Composite(std::vector<std::string>* log = nullptr)
        : ModuleStructured(ModuleInfo{0, "TestComposite", ""}), log_(log)
    {
    }

    void createSubModules() override
    {
        record("createSubModules");
        if (subs)
            subs(*this);
    }
    void connectSubModules() override
    {
        record("connectSubModules");
        if (wiring)
            wiring(*this);
    }
    void createInputs() override
    {
        if (inputs)
            inputs(*this);
    }
    void createOutputs() override
    {
        if (outputs)
            outputs(*this);
    }
    void createParameters() override
    {
        record("createParameters");
        ModuleStructured::createParameters();
    }
    void setEnvironment(Environment* environment) override
    {
        record("setEnvironment");
        ModuleStructured::setEnvironment(environment);
    }
    void setParameter(std::string_view name, float value) override
    {
        record(("setParameter " + std::string(name)).c_str());
        ModuleStructured::setParameter(name, value);
    }

    Hook subs, wiring, inputs, outputs;

    // Public access for hooks.
    Inputs& ownInputs() { return inputs_; }
    Outputs& ownOutputs() { return outputs_; }
    Parameters& ownParameters() { return parameters_; }

private:
    void record(const char* step)
    {
        if (log_)
            log_->push_back(instanceName_ + ":" + step);
    }
    std::vector<std::string>* log_;
};

// Exposes the "Out" of its sub-module `inner` as its own hierarchic "Out".
inline void exposeOut(Composite& composite, const std::string& inner)
{
    composite.ownOutputs().addHierarchicOutput(
        Port("Out", "", &composite.getSubModule(inner).getOutput("Out")), "Out");
}

// Runs the whole lifecycle of a root module in its environment.
inline void bringUp(Module& root, Environment& environment)
{
    root.build(&environment);
    root.connect();
    root.resolveConnections();
    root.bindPorts();
    root.resetParametersToDefaults();
}

inline bool allZero(const float* samples, std::size_t count)
{
    return std::all_of(samples, samples + count, [](float x) { return x == 0.0f; });
}

} // namespace test
