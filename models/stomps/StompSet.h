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

namespace AudioEngine::BorvanQom::Application {

// A stomp model made fit for a slot: run modes and the dry input.
template <class Model>
using StompElement = CX2::Application::ModuleArrayElement<CX2::Application::ModuleCX2<Model>>;

// The stomp models a slot chooses from; the order gives the values of "Stomp":
// "Empty" 0, "Compressor" 1, "AnalogChorus" 2, "EnvelopeFilter" 3, "BassWah" 4,
// "Volume" 5, "Overdrive" 6, "Octaver" 7, "AnalogDelay" 8.
struct StompSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Stomp";

    StompSet()
    {
        add<StompElement<Empty>>("Empty");
        add<StompElement<CX2::Dynacomp<CX2::DynacompTraits<float>>>>("Compressor");
        add<StompElement<CX2::ChorusRI1Mono<CX2::ChorusRI1MonoTraits>>>("AnalogChorus");
        add<StompElement<CX2::EnvelopeFilter>>("EnvelopeFilter");
        add<StompElement<CX1::Wah<WahTraits>>>("BassWah");
        add<StompElement<CX2::Volume<CX2::VolumeTraits>>>("Volume");
        add<StompElement<OverDrive<OverDriveTraits>>>("Overdrive");
        add<StompElement<Octaver<OctaverTraits>>>("Octaver");
        add<StompElement<CX2::MemoryMan<CX2::MemoryManTraits>>>("AnalogDelay");
    }
};

} // namespace AudioEngine::BorvanQom::Application
