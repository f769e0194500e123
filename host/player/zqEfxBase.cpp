#include "host/player/zqEfxBase.h"

#include <algorithm>

namespace player {

void zqEfxBase::setSource(void* userData, zqEfxSourceCallback callback)
{
    userData_ = userData;
    callback_ = callback;
}

void zqEfxBase::readSource(float** channelBuffers, std::int64_t position, int frames)
{
    if (channelBuffers == nullptr || frames <= 0)
        return;
    int delivered = 0;
    if (callback_ != nullptr)
        delivered = std::clamp(callback_(userData_, channelBuffers, position, frames), 0, frames);
    // Whatever the source left out reads as silence, never as stale memory.
    for (int ch = 0; ch < 2; ++ch)
        if (channelBuffers[ch] != nullptr)
            std::fill(channelBuffers[ch] + delivered, channelBuffers[ch] + frames, 0.0f);
}

int zqEfxBypass::process(void*, float** channelBuffers, std::int64_t outputPosition, int frames)
{
    readSource(channelBuffers, outputPosition, frames);
    return 1;
}

} // namespace player
