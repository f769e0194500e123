#pragma once

// What the player view owns: the engine and its metronome in one object,
// also an audio device client by its MPAudio base. The host's own window
// mixes it from its audio callback (mix, then mixClicks), so no device is
// opened through that base.

#include "host/audio/MPAudio.h"
#include "host/player/ejpMetronome.h"
#include "host/player/ejpPlayer.h"

namespace player {

class ejpPlayerOutput : public ejpPlayer, public MPAudio, public ejpMetronome {
public:
    // The engine restarts this object's own metronome on every jump.
    ejpPlayerOutput() : ejpPlayer(static_cast<ejpMetronome*>(this)) {}

    ejpPlayer& engine() { return *this; }
    ejpMetronome& metronome() { return *this; }

    // The device rate, for the engine and the metronome alike.
    void setSampleRate(float hz)
    {
        ejpPlayer::setSampleRate(hz);
        ejpMetronome::setSampleRate(hz);
    }
};

} // namespace player
