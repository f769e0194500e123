#pragma once

#include "engine/host/ModuleArrayCX2.h"
#include "engine/host/ModuleCX2.h"
#include "engine/modules/ModuleSelectorNotUniform.h"
#include "models/stomps/StompSet.h"

namespace AudioEngine::BorvanQom::Application {

// One stomp slot: every model of the set, built once, and the switch "Stomp"
// (set at once by the change queue) choosing which one runs. Each model keeps
// its own settings and its own "Process" across switches.
class StompSelector : public ModuleSelectorNotUniform<StompSet> {};

} // namespace AudioEngine::BorvanQom::Application

namespace AudioEngine::BorvanQom {

// The six-slot stomp chain in series, with its own run mode: the module the
// engine creates as "Stomps".
using StompChain =
    CX2::Application::ModuleCX2<CX2::Application::ModuleArrayCX2<Application::StompSelector, 6>>;

} // namespace AudioEngine::BorvanQom
