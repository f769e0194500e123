#pragma once

#include "engine/host/ModuleArrayCX2.h"
#include "engine/host/ModuleArrayElement.h"
#include "engine/host/ModuleCX2.h"
#include "engine/host/ModuleCreators.h"
#include "engine/modules/ModuleSelectorNotUniform.h"
#include "models/amps/AmpModelNames.h"
#include "models/amps/BorvanRE500.h"
#include "models/amps/BorvanRKM4Pro.h"
#include "models/amps/BorvanRKMClassicHead.h"
#include "models/amps/BorvanV9E.h"
#include "models/amps/Bypass.h"

#include <memory>

namespace AudioEngine::BorvanQom::Application {

// The amp models; the order gives the values of "Model": "Empty" 0,
// "RKMClassic" 1, "RE500" 2, "RKM4Pro" 3, "V9E" 4. "Empty" is current after
// the build. The table is filled in AmpSelector.cpp from the heads' creators.
struct AmpSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Model";

    AmpSet();
};

// Each head's creator, defined next to its header (BorvanRKM4Pro.cpp ...):
// every head's code is compiled there once, and the heads compile in
// parallel, instead of all of them again in every file that builds a rig.
namespace AmpCreators {
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> rkmClassic();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> re500();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> rkm4Pro();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> v9e();
} // namespace AmpCreators

// Every amp model, built once, and the switch "Model" (set at once by the
// change queue). It shows the union of the models' names, each bound to the
// current model when it has it and otherwise to the first model that does;
// each model keeps its own settings and filter states across switches.
class AmpSelector : public ModuleSelectorNotUniform<AmpSet> {};

} // namespace AudioEngine::BorvanQom::Application

namespace AudioEngine::BorvanQom {

// The amp chain with its own run mode: the module the engine creates as "Amps".
using AmpChain =
    CX2::Application::ModuleCX2<CX2::Application::ModuleArrayCX2<Application::AmpSelector, 1>>;

} // namespace AudioEngine::BorvanQom
