#pragma once

#include "engine/host/ModuleCreators.h"
#include "engine/modules/AddAndSplit.h"
#include "engine/modules/AddAndSplitStereo.h"
#include "engine/modules/Adder.h"
#include "engine/modules/AdderStereo.h"
#include "engine/modules/GainApplication.h"
#include "engine/modules/Meter.h"
#include "engine/modules/MixerStereo.h"
#include "engine/modules/PhaseAdjust.h"
#include "engine/modules/ReverbAmbience.h"
#include "engine/modules/Splitter.h"
#include "engine/modules/SplitterStereo.h"
#include "engine/modules/Tuner.h"
#include "models/amps/AmpSelector.h"
#include "models/cabinet/CabinetBorvan.h"
#include "models/cabinet/ImpulseSets.h"
#include "models/stomps/StompSelector.h"

namespace AudioEngine::BorvanQom::Application {

// The rig's creator table: every type name the chain description may ask for,
// registered in this order: "Gain", "GainStereo", "VuMeter", "LedMeter",
// "Ambience", "Tuner", "Stomps", "PhaseAdjust", "MixerStereo", "Amps",
// "Convolver", "SplitterStereo", "AdderStereo", "AddAndSplit",
// "AddAndSplitStereo", "Adder", "Splitter". Each entry joins the table with the
// module type it creates.
class ModuleCreators : public ModuleSelectorDetails::ModuleCreators {
public:
    ModuleCreators()
    {
        add<CX2::Application::Gain<20>>("Gain");
        add<CX2::Application::GainStereo<20>>("GainStereo");
        add<CX2::Meter<100, 500, 4>>("VuMeter");
        add<CX2::Meter<0, 600, 0>>("LedMeter");
        add<CX2::ReverbAmbience>("Ambience");
        add<CX2::Tuner>("Tuner");
        add<StompChain>("Stomps");
        add<PhaseAdjust<20>>("PhaseAdjust");
        add<MixerStereo>("MixerStereo");
        add<AmpChain>("Amps");
        add<CX2::Application::ModuleCX2<CabinetBorvan<WooferSetTraits, TweeterSetTraits>>>(
            "Convolver");
        add<CX2::Application::SplitterStereo>("SplitterStereo");
        add<CX2::Application::AdderStereo>("AdderStereo");
        add<CX2::Application::AddAndSplit>("AddAndSplit");
        add<CX2::Application::AddAndSplitStereo>("AddAndSplitStereo");
        add<Adder<2>>("Adder");
        add<Splitter>("Splitter");
    }
};

} // namespace AudioEngine::BorvanQom::Application
