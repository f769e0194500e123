#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/host/ModuleCreators.h"

namespace AudioEngine {

// The top-level composite: builds the whole chain from the description its
// environment holds, creating every module by type name, and exposes every
// parameter P and data block B of a module M as "P_M" and "B_M".
class ModuleSetBase : public ModuleStructured {
public:
    explicit ModuleSetBase(const ModuleSelectorDetails::ModuleCreators& creators);

    // The set is built only through buildSet, by its host.
    void build(Environment*) override {}
    void buildSet(Environment* environment) { ModuleStructured::build(environment); }

    // One input per distinct host input name, in name order.
    void createInputs() override;
    // One output per host output name, standing for the named module output.
    void createOutputs() override;
    void createParameters() override;
    void prepare() override {}
    void createSubModules() override;
    // Host inputs to their module inputs (one name may feed several), then the
    // connections in order.
    void connectSubModules() override;

    // A module below changed its structure: every composed name is brought up
    // to date in place so that it reaches the new children (see
    // relinkSubModuleParameters); then the host hears of it.
    void structureChanged() override;

private:
    const ModuleSelectorDetails::ModuleCreators& creators_;
};

template <class Creators> class ModuleSet : public ModuleSetBase {
public:
    ModuleSet() : ModuleSetBase(creators_) {}

private:
    // The base only keeps a reference, used from buildSet on.
    Creators creators_;
};

} // namespace AudioEngine
