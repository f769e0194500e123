#include "host/player/ejpPlayerPrivate.h"

namespace player {

int ejpPlayerSource::read(void* self, float** channels, std::int64_t position, int frames)
{
    auto& archive = static_cast<ejpPlayerSource*>(self)->archive_;
    // Without a file the effect fills the frames with zeros itself.
    if (archive.channels() <= 0)
        return 0;
    archive.readPlanar(channels, position, frames);
    return frames;
}

ejpPlayerPrivate::ejpPlayerPrivate(std::function<void(float)> finished)
    : scratchLeft(kScratchFrames), scratchRight(kScratchFrames), finished_(std::move(finished))
{
}

ejpPlayerPrivate::~ejpPlayerPrivate()
{
    join();
}

void ejpPlayerPrivate::run()
{
    float progress = 0.0f;
    while (archive.isDecoding() && isRunning()) {
        progress = archive.progress();
        if (progress < 1.0f)
            this->progress.store(progress, std::memory_order_relaxed);
    }
    if (!archive.isDecoding() && !archive.failed())
        progress = archive.progress(); // exactly 1.0 once complete
    finished_(progress);
}

} // namespace player
