#pragma once

#include "host/app/vphoWindowSide.h"

namespace player {
class ejpPlayerView;
}

// The player panel above the editor as the plug-in window uses it: the view
// for the user-interface calls, its engine and metronome for the audio.
class vphoPlayerViewLink final : public vphoPlayerLink {
public:
    explicit vphoPlayerViewLink(player::ejpPlayerView& view) : view_(view) {}

    void setHostTempo(float bpm) override;
    void setSampleRate(float hz) override;
    void stop() override;
    void onCharacter(int code) override;
    bool loadFile(const char* path) override;
    void mix(float* left, float* right, int frames) override;
    void mixClicks(float* left, float* right, int frames) override;

private:
    player::ejpPlayerView& view_;
};
