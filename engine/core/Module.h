#pragma once

#include "engine/core/Environment.h"
#include "engine/core/Handler.h"
#include "engine/core/ModuleInfo.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace AudioEngine {

// The root of every processing unit. A module is constructed inert, then
// driven through one lifecycle by its owner:
//   build(environment)        ports, parameters and sub-modules come to exist
//   connect()                 every input gets its source
//   resolveConnections()      transparent port chains collapse
//   bindPorts()               leaves cache their port and parameter pointers
//   resetParametersToDefaults()
//   process()                 once per piece, on the processing thread
// update() and reset() are broadcast down the tree by whoever needs them.
class Module : public ParameterHandler, public DataBlockHandler {
public:
    explicit Module(ModuleInfo info) : info_(std::move(info)) {}
    // An unbuilt copy: same information, no name, empty maps.
    Module(const Module& other) : ParameterHandler(), DataBlockHandler(), info_(other.info_) {}
    Module& operator=(const Module&) = delete;
    ~Module() override = default;

    virtual void build(Environment* environment) = 0;
    virtual void process() = 0;
    virtual void connect() = 0;
    virtual void resolveConnections() = 0;
    virtual void bindPorts() = 0;
    // Diagnostic dump of the wiring: one line per port, prefix "_" name ",0x" address.
    virtual void describe(std::ostream& stream, const std::string& prefix) const = 0;
    virtual void resetParametersToDefaults() = 0;
    virtual void update() = 0;
    // A spare notification that composites pass down their tree.
    virtual void notify() = 0;
    virtual void reset() {}
    virtual void createInputs() = 0;
    virtual void createOutputs() = 0;
    virtual void createParameters() = 0;
    virtual void prepare() = 0;
    virtual void setEnvironment(Environment* environment) = 0;

    const ModuleInfo& getInfo() const noexcept { return info_; }
    Inputs& getInputs() noexcept { return inputs_; }
    const Inputs& getInputs() const noexcept { return inputs_; }
    Outputs& getOutputs() noexcept { return outputs_; }
    const Outputs& getOutputs() const noexcept { return outputs_; }

    // Lookups that must succeed: they throw UnknownName for a missing port.
    Input& getInput(std::string_view name) const { return inputs_.get(name, instanceName_); }
    Output& getOutput(std::string_view name) const { return outputs_.get(name, instanceName_); }

protected:
    std::string_view ownerName() const override { return instanceName_; }
    // One port line of describe.
    static void describePort(std::ostream& stream, const std::string& prefix, const Port& port);

    ModuleInfo info_;
    // Declared so that outputs die before inputs, and both before the data
    // blocks and parameters of the bases.
    Inputs inputs_;
    Outputs outputs_;
};

} // namespace AudioEngine
