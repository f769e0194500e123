#include "host/app/vphoPlayerViewLink.h"

#include "host/player/ejpPlayerView.h"

void vphoPlayerViewLink::setHostTempo(float bpm)
{
    view_.setHostTempo(bpm);
}

void vphoPlayerViewLink::setSampleRate(float hz)
{
    view_.setSampleRate(hz);
}

void vphoPlayerViewLink::stop()
{
    view_.output().setPlaying(false);
}

void vphoPlayerViewLink::onCharacter(int code)
{
    view_.onKeyDown(code);
}

bool vphoPlayerViewLink::loadFile(const char* path)
{
    return view_.loadFile(path);
}

void vphoPlayerViewLink::mix(float* left, float* right, int frames)
{
    view_.output().mix(left, right, frames);
}

void vphoPlayerViewLink::mixClicks(float* left, float* right, int frames)
{
    view_.output().mixClicks(left, right, frames);
}
