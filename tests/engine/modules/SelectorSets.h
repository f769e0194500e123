#pragma once

// Creator sets for exercising selectors: the chorus's two LFO waveforms (a
// uniform set) and three unlike mono stages (a set for the not-uniform form).

#include "engine/host/ModuleCreators.h"
#include "engine/modules/Gain.h"
#include "engine/modules/Lfo.h"
#include "engine/modules/ModuleSelector.h"
#include "engine/modules/ModuleSelectorNotUniform.h"
#include "engine/modules/PhaseAdjust.h"

namespace rig {

struct Knob {
    static constexpr float minimum = 0.0f, maximum = 1.0f, defaultValue = 0.5f;
};

struct LfoSet : AudioEngine::ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Mode";
    LfoSet()
    {
        add<AudioEngine::Lfo<AudioEngine::LfoFunctions::Triangle<float, float>>>("Chorus");
        add<AudioEngine::Lfo<AudioEngine::LfoFunctions::Sine<float, float>>>("Vibrato");
    }
};

struct StageSet : AudioEngine::ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "Model";
    StageSet()
    {
        add<AudioEngine::Gain<Knob>>("Linear");
        add<AudioEngine::GainLog<Knob>>("Log");
        add<AudioEngine::BorvanQom::PhaseAdjust<20>>("Delay");
    }
};

using LfoSelector = AudioEngine::ModuleSelector<LfoSet>;
using StageSelector = AudioEngine::ModuleSelectorNotUniform<StageSet>;

} // namespace rig
