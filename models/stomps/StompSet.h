#pragma once

#include "engine/host/ModuleArrayElement.h"
#include "engine/host/ModuleCX2.h"
#include "engine/host/ModuleCreators.h"
#include "models/stomps/ChorusRI1Mono.h"
#include "models/stomps/Dynacomp.h"
#include "models/stomps/Empty.h"
#include "models/stomps/EnvelopeFilter.h"
#include "models/stomps/MemoryMan.h"
#include "models/stomps/Octaver.h"
#include "models/stomps/OverDrive.h"
#include "models/stomps/Volume.h"
#include "models/stomps/Wah.h"

#include <memory>

namespace AudioEngine::BorvanQom::Application {

// A stomp model made fit for a slot: run modes and the dry input.
template <class Model>
using StompElement = CX2::Application::ModuleArrayElement<CX2::Application::ModuleCX2<Model>>;

// The stomp models a slot chooses from; the order gives the values of "Stomp":
// "Empty" 0, "Compressor" 1, "AnalogChorus" 2, "EnvelopeFilter" 3, "BassWah" 4,
// "Volume" 5, "Overdrive" 6, "Octaver" 7, "AnalogDelay" 8. The table is filled
// in StompSet.cpp from the models' creators.
struct StompSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Stomp";

    StompSet();
};

// Each model's creator, defined in <model>Element.cpp: every model's code is
// compiled there once, not again in every file that builds a stomp slot.
namespace StompCreators {
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> compressor();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> analogChorus();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> envelopeFilter();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> bassWah();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> volume();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> overdrive();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> octaver();
std::unique_ptr<ModuleSelectorDetails::ModuleCreatorBase> analogDelay();
} // namespace StompCreators

} // namespace AudioEngine::BorvanQom::Application
