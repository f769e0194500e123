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

namespace AudioEngine::BorvanQom::Application {

// The amp models; the order gives the values of "Model": "Empty" 0,
// "RKMClassic" 1, "RE500" 2, "RKM4Pro" 3, "V9E" 4. "Empty" is current after
// the build.
struct AmpSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Model";

    AmpSet()
    {
        using CX2::Application::ModuleArrayElement;
        add<ModuleArrayElement<Bypass>>("Empty");
        add<ModuleArrayElement<BorvanRKMClassicHead<BorvanRKMClassicHeadTraits>>>(
            AmpModelNames::kRKMClassic);
        add<ModuleArrayElement<BorvanRE500<BorvanRE500Traits>>>(AmpModelNames::kRE500);
        add<ModuleArrayElement<BorvanRKM4Pro<BorvanRKM4ProTraits>>>(AmpModelNames::kRKM4Pro);
        add<ModuleArrayElement<BorvanV9E<BorvanV9ETraits>>>(AmpModelNames::kV9E);
    }
};

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
