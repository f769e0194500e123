#pragma once

#include "engine/dsp/RoomReverb.h"
#include "engine/modules/Reverb.h"

namespace AudioEngine::CX2 {

// The chain's room ambience after the cabinet: the rig's reverb variant, set
// at prepare to a shorter decay ("Time" 30) than the reverb's default.
class ReverbAmbience : public Reverb<mixer::RoomReverbCX2> {
public:
    void prepare() override;
};

} // namespace AudioEngine::CX2
