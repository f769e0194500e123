#pragma once

#include "engine/host/ModuleCreators.h"
#include "engine/modules/Lfo.h"
#include "engine/modules/LfoFunctions.h"
#include "engine/modules/ModuleSelector.h"

namespace AudioEngine::CX2::ChorusRI1TraitsDetails {

// The chorus's two sweeps: a triangle for the chorus, a sine for the vibrato.
struct LfoSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Mode";
    LfoSet()
    {
        add<Lfo<LfoFunctions::Triangle<float, float>>>("Chorus");
        add<Lfo<LfoFunctions::Sine<float, float>>>("Vibrato");
    }
};

// The chorus's LFO: "Mode" picks the waveform. The selector is uniform, so
// "Rate" and "Phase" carry over a change of waveform.
class LfoRI1 : public ModuleSelector<LfoSet> {};

} // namespace AudioEngine::CX2::ChorusRI1TraitsDetails
