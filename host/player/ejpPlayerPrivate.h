#pragma once

// The player's private part: the loader thread, the decoder, the effect and
// its source, the two meters and the scratch the effect renders into.

#include "host/player/AudioArchive.h"
#include "host/player/ejpPlayerMeter.h"
#include "host/player/someThread.h"
#include "host/player/zqEfxPstsPoly.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace player {

// The effect's source: the decoded file, two channels, zeros outside it.
class ejpPlayerSource {
public:
    explicit ejpPlayerSource(AudioArchive& archive) : archive_(archive) {}
    // zqEfxSourceCallback. Audio thread.
    static int read(void* self, float** channels, std::int64_t position, int frames);

private:
    AudioArchive& archive_;
};

class ejpPlayerPrivate : public someThread {
public:
    // The longest piece the effect renders at once; longer blocks are mixed
    // in pieces.
    static constexpr int kScratchFrames = 8192;

    // finished(progress) runs on the loader thread when decoding has ended,
    // with exactly 1.0 when it completed.
    explicit ejpPlayerPrivate(std::function<void(float)> finished);
    ~ejpPlayerPrivate() override;

    AudioArchive archive;
    ejpPlayerSource source{archive};
    std::unique_ptr<zqEfxPstsPoly> effect;
    ejpPlayerMeter left{26}, right{26};
    std::vector<float> scratchLeft, scratchRight;
    // The decoder's last answer, for the UI while the loader runs.
    std::atomic<float> progress{1.0f};

protected:
    // Polls the decoder, each poll about 100 ms of decoding, until it
    // completes, fails or the thread is asked to stop.
    void run() override;

private:
    std::function<void(float)> finished_;
};

} // namespace player
