#include "host/player/AudioArchive.h"

#include "host/player/AudioArchive_DirectX.h"

#include <cstring>

namespace player {
namespace {

constexpr char kKinds[AudioArchive::kKindCount][AudioArchive::kKindNameSize] = {
    "sox", "quicktime", "fraunhofer", "SimpleWav", "DirectX"};
constexpr int kDirectX = 4;

} // namespace

const char* AudioArchive::kindName(int index)
{
    return index >= 0 && index < kKindCount ? kKinds[index] : nullptr;
}

bool AudioArchive::setKindEnabled(const char* name, bool enabled)
{
    if (name == nullptr)
        return false;
    if (std::strcmp(name, "all") == 0) {
        for (bool& flag : enabled_)
            flag = enabled;
        return true;
    }
    for (int i = 0; i < kKindCount; ++i)
        if (std::strcmp(name, kKinds[i]) == 0) {
            enabled_[i] = enabled;
            return true;
        }
    return false;
}

bool AudioArchive::isKindEnabled(const char* name) const
{
    for (int i = 0; name != nullptr && i < kKindCount; ++i)
        if (std::strcmp(name, kKinds[i]) == 0)
            return enabled_[i];
    return false;
}

bool AudioArchive::open(const char* path)
{
    decoder_.reset();
    if (!enabled_[kDirectX])
        return false;
    auto decoder = std::make_unique<AudioArchive_DirectX>();
    if (!decoder->open(path))
        return false;
    decoder_ = std::move(decoder);
    return true;
}

bool AudioArchive::describe(char* text, int size)
{
    return decoder_ && decoder_->describe(text, size);
}
void AudioArchive::close()
{
    if (decoder_)
        decoder_->close();
}
void AudioArchive::closeNow()
{
    if (decoder_)
        decoder_->closeNow();
}
int AudioArchive::channels()
{
    return decoder_ ? decoder_->channels() : 0;
}
int AudioArchive::sampleRate()
{
    return decoder_ ? decoder_->sampleRate() : 0;
}
bool AudioArchive::setChannels(int n)
{
    return decoder_ && decoder_->setChannels(n);
}
bool AudioArchive::setSampleRate(int hz)
{
    return decoder_ && decoder_->setSampleRate(hz);
}
bool AudioArchive::readInterleaved(float* destination, std::int64_t firstFrame, int frames)
{
    return decoder_ && decoder_->readInterleaved(destination, firstFrame, frames);
}
bool AudioArchive::readPlanar(float* const* channels, std::int64_t firstFrame, int frames)
{
    return decoder_ && decoder_->readPlanar(channels, firstFrame, frames);
}
std::int64_t AudioArchive::lengthFrames()
{
    return decoder_ ? decoder_->lengthFrames() : 0;
}
int AudioArchive::durationSeconds()
{
    return decoder_ ? decoder_->durationSeconds() : 0;
}
bool AudioArchive::isDecoding()
{
    return decoder_ && decoder_->isDecoding();
}
bool AudioArchive::hasDuration()
{
    return decoder_ && decoder_->hasDuration();
}
float AudioArchive::progress()
{
    return decoder_ ? decoder_->progress() : 0.0f;
}
bool AudioArchive::failed()
{
    return decoder_ && decoder_->failed();
}
bool AudioArchive::overview(std::vector<float>& points, int& count, int& changedFirst,
                            int& changedCount)
{
    return decoder_ && decoder_->overview(points, count, changedFirst, changedCount);
}

} // namespace player
