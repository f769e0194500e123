#pragma once

#include "engine/core/Module.h"
#include "engine/core/ModuleMap.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace AudioEngine {

class ModuleStructured;

namespace ModuleStructuredDetails {
struct ModulesTraits {
    using Value = Module;
    static constexpr const char* kind = "sub-module";
};
using SubModules = ModuleMap<ModulesTraits>;

// One row of a composite's table of exposed parameters: the parameter
// `target` of the sub-module `child`, shown as `name`.
struct ParameterLink {
    std::string_view name;
    std::string_view child;
    std::string_view target;
};
} // namespace ModuleStructuredDetails

// A composite: an ordered list of named sub-modules that it creates, wires and
// runs in list order. Its sub-modules see the composite's local environment,
// which forwards to the composite's own.
class ModuleStructured : public Module, public EnvironmentLocal {
public:
    using Module::Module;
    // An unbuilt copy; a composite is copied only while it has no sub-modules.
    ModuleStructured(const ModuleStructured& other);

    // setEnvironment, createSubModules, build of each sub-module, then
    // createParameters, createInputs, createOutputs, prepare.
    void build(Environment* environment) override;
    void process() override;
    void connect() override;
    void resolveConnections() override;
    void bindPorts() override;
    void describe(std::ostream& stream, const std::string& prefix) const override;
    // Sub-modules first, then the composite's own parameters.
    void resetParametersToDefaults() override;
    void update() override;
    void notify() override;
    void reset() override;
    // Exposes parameter P of sub-module C as the link "P_C".
    void createParameters() override;
    void prepare() override {}
    void setEnvironment(Environment* environment) override { setParentEnvironment(environment); }

    virtual void createSubModules() = 0;
    virtual void connectSubModules() = 0;

    // Makes the named input of a sub-module (or of the composite) read source.
    void connectInput(Module& module, std::string_view inputName, Port* source);
    // Registers a link under each parameter's own name, without a prefix.
    void linkChildParameters(std::string_view subModuleName);
    // Registers one link per row, in row order, under the row's name.
    void linkParameters(std::span<const ModuleStructuredDetails::ParameterLink> links);
    // Series wiring by step in name order: own inputs to the first sub-module's
    // inputs, each sub-module's outputs to the next one's inputs, the last
    // one's outputs to the own outputs. Meant for one input and one output per
    // sub-module; a sub-module input or own output left without a partner is
    // refused with an error.
    void connectThrough();

    Module& getSubModule(std::string_view name) const
    {
        return subModules_.get(name, instanceName_);
    }
    const ModuleStructuredDetails::SubModules& getSubModules() const noexcept
    {
        return subModules_;
    }

    template <class T, class... Args> T* addSubModule(std::string name, Args&&... args)
    {
        auto module = std::make_unique<T>(std::forward<Args>(args)...);
        module->setInstanceName(name);
        return subModules_.add(std::move(name), std::move(module));
    }

protected:
    Environment* localEnvironment() noexcept { return static_cast<EnvironmentLocal*>(this); }
    // Links every parameter of every sub-module, parameter-first.
    void linkSubModuleParameters();
    // Brings the links "P_C" up to date after a structure change below (a
    // selector that switched its element). Existing links are re-pointed in
    // place; only links whose target is gone are removed and only new names
    // are linked. So where the names stay the same (selectors that show the
    // union of their elements' names) nothing is deleted, nothing allocated
    // and the map that unlocked readers walk keeps its shape.
    void relinkSubModuleParameters();
    void relinkSubModuleDataBlocks();

    ModuleStructuredDetails::SubModules subModules_;
};

// A composite of sub-modules in series between "In" and "Out".
class ModuleMono : public ModuleStructured {
public:
    using ModuleStructured::ModuleStructured;

    void createInputs() override;
    // "Out" stands for the last sub-module's "Out".
    void createOutputs() override;
    void connectSubModules() override { connectThrough(); }
};

// A composite that owns its sub-modules for their parameters and designs and
// runs them itself: subclasses supply process and connectSubModules.
class ModuleExplicit : public ModuleStructured {
public:
    using ModuleStructured::ModuleStructured;

    void process() override {}
    void connectSubModules() override {}
    // Own ports only, as a leaf writes them.
    void describe(std::ostream& stream, const std::string& prefix) const override;
};

} // namespace AudioEngine
