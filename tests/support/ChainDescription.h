#pragma once

// The rig's top-level chain as the engine describes it to the module set:
// sixteen modules, the host input "In" bound to the input meter and to the
// tuner, twenty connections, and "OutL"/"OutR" carried from the master.
// It names only types and ports, so stub creator tables can build it as well.

#include "engine/core/ModuleSetDescription.h"

namespace rig {

inline AudioEngine::ModuleSetDescription chainDescription()
{
    AudioEngine::ModuleSetDescription d;
    d.modules = {{"LedMeter", "Meter_Input"},
                 {"Tuner", "Tuner"},
                 {"Gain", "Volume_PanVolume_Tuner"},
                 {"Stomps", "StompModule"},
                 {"Gain", "Volume_PanVolume_StompModule"},
                 {"Splitter", "PhaseSplitter"},
                 {"PhaseAdjust", "PhaseAdjust"},
                 {"Amps", "AmpModule"},
                 {"Gain", "Volume_PanVolume_AmpModule"},
                 {"Convolver", "CabModule"},
                 {"Ambience", "Ambience_CabModule"},
                 {"GainStereo", "Volume_PanVolume_CabModule"},
                 {"MixerStereo", "MainMixer"},
                 {"GainStereo", "Master_Output"},
                 {"LedMeter", "MeterL_Output"},
                 {"LedMeter", "MeterR_Output"}};
    d.hostInputs.insert({"In", {"Meter_Input", "In"}});
    d.hostInputs.insert({"In", {"Tuner", "In"}});
    d.hostOutputs.insert({"OutL", {"Master_Output", "OutL"}});
    d.hostOutputs.insert({"OutR", {"Master_Output", "OutR"}});
    d.connections = {{"Tuner", "Out", "Volume_PanVolume_Tuner", "In"},
                     {"Volume_PanVolume_Tuner", "Out", "StompModule", "In"},
                     {"StompModule", "Out", "Volume_PanVolume_StompModule", "In"},
                     {"Volume_PanVolume_StompModule", "Out", "PhaseSplitter", "In"},
                     {"PhaseSplitter", "Out1", "AmpModule", "In"},
                     {"PhaseSplitter", "Out2", "PhaseAdjust", "In"},
                     {"AmpModule", "Out", "Volume_PanVolume_AmpModule", "In"},
                     {"Volume_PanVolume_AmpModule", "Out", "CabModule", "In"},
                     {"CabModule", "Out", "Ambience_CabModule", "InL"},
                     {"CabModule", "Out", "Ambience_CabModule", "InR"},
                     {"Ambience_CabModule", "OutL", "Volume_PanVolume_CabModule", "InL"},
                     {"Ambience_CabModule", "OutR", "Volume_PanVolume_CabModule", "InR"},
                     {"PhaseAdjust", "Out", "MainMixer", "In1L"},
                     {"PhaseAdjust", "Out", "MainMixer", "In1R"},
                     {"Volume_PanVolume_CabModule", "OutL", "MainMixer", "In2L"},
                     {"Volume_PanVolume_CabModule", "OutR", "MainMixer", "In2R"},
                     {"MainMixer", "OutL", "Master_Output", "InL"},
                     {"MainMixer", "OutR", "Master_Output", "InR"},
                     {"Master_Output", "OutL", "MeterL_Output", "In"},
                     {"Master_Output", "OutR", "MeterR_Output", "In"}};
    return d;
}

} // namespace rig
