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
// module type it creates. Filled in RigModuleCreators.cpp, so the chain's
// code is compiled once in the models library, not in every user of the table.
class ModuleCreators : public ModuleSelectorDetails::ModuleCreators {
public:
    ModuleCreators();
};

} // namespace AudioEngine::BorvanQom::Application
