#pragma once

#include "engine/host/ModuleCreators.h"

namespace AudioEngine::BorvanQom::Application {

// The rig's creator table: every type name the chain description may ask for,
// registered in this order: "Gain", "GainStereo", "VuMeter", "LedMeter",
// "Ambience", "Tuner", "Stomps", "PhaseAdjust", "MixerStereo", "Amps",
// "Convolver", "SplitterStereo", "AdderStereo", "AddAndSplit",
// "AddAndSplitStereo", "Adder", "Splitter". Each entry joins the table with the
// module type it creates.
class ModuleCreators : public ModuleSelectorDetails::ModuleCreators {
public:
    ModuleCreators() {}
};

} // namespace AudioEngine::BorvanQom::Application
