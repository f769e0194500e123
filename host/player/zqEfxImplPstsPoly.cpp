#include "host/player/zqEfxImplPstsPoly.h"

#include "host/player/Taperizer.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

constexpr int kCopyFrames = 4096;

} // namespace

bool zqEfxImplPstsPoly::setParam(int id, float value)
{
    if (!std::isfinite(value))
        return false;
    switch (id) {
    case kSourceChannels:
        sourceChannels_ = static_cast<int>(value) == 2 ? 2 : 1;
        return true;
    case kOutputChannels:
        outputChannels_ = static_cast<int>(value) == 1 ? 1 : 2;
        return true;
    case kSampleRate:
        sampleRate_ = std::clamp(static_cast<int>(value), 1000, 768000);
        return true;
    case kTimeFactor:
        s_ = std::clamp<double>(value, 0.001, 10.0);
        applyFactors();
        return true;
    case kPitchFactor:
        p_ = std::clamp<double>(value, 0.001, 10.0);
        applyFactors();
        return true;
    default:
        return false;
    }
}

bool zqEfxImplPstsPoly::getParam(int id, float* value) const
{
    if (value == nullptr)
        return false;
    switch (id) {
    case kSourceChannels:
        *value = static_cast<float>(sourceChannels_);
        return true;
    case kOutputChannels:
        *value = static_cast<float>(outputChannels_);
        return true;
    case kSampleRate:
        *value = static_cast<float>(sampleRate_);
        return true;
    case kTimeFactor:
        *value = static_cast<float>(s_);
        return true;
    case kPitchFactor:
        *value = static_cast<float>(p_);
        return true;
    default:
        return false;
    }
}

void zqEfxImplPstsPoly::applyFactors()
{
    if (!engine_)
        return;
    // A factor that counts as unity is exactly unity for the engine.
    engine_->setPitchFactor(unity(p_) ? 1.0 : p_);
    engine_->setTimeFactor(unity(s_) ? 1.0 : s_);
}

void zqEfxImplPstsPoly::prepare()
{
    globalTaperizer();
    left_.assign(kCopyFrames, 0.0f);
    right_.assign(kCopyFrames, 0.0f);
    engine_.reset();
    adapter_ = std::make_unique<EfxPstsRAPCMSourcePoly>(*this, sampleRate_, sourceChannels_);
    engine_ = std::make_unique<CRANewPolyPSTS>(*adapter_);
    engine_->setOutputRate(sampleRate_);
    engine_->setGrainRate(25.0);
    engine_->seek(0.0);
    applyFactors();
    expected_ = -1;
    prepared_ = true;
}

void zqEfxImplPstsPoly::copySource(float** channelBuffers, std::int64_t position, int frames)
{
    for (int done = 0; done < frames;) {
        const int n = std::min(kCopyFrames, frames - done);
        float* arrays[2] = {left_.data(), sourceChannels_ == 2 ? right_.data() : nullptr};
        readSource(arrays, position + done, n);
        for (int ch = 0; ch < outputChannels_; ++ch) {
            const float* from = ch == 1 && sourceChannels_ == 2 ? right_.data() : left_.data();
            std::copy(from, from + n, channelBuffers[ch] + done);
        }
        done += n;
    }
}

int zqEfxImplPstsPoly::process(void*, float** channelBuffers, std::int64_t outputPosition,
                               int frames)
{
    if (channelBuffers == nullptr || frames <= 0)
        return 1;
    if (!prepared_) {
        for (int ch = 0; ch < outputChannels_; ++ch)
            std::fill(channelBuffers[ch], channelBuffers[ch] + frames, 0.0f);
        return 1;
    }
    if (unity(p_) && unity(s_)) {
        copySource(channelBuffers, outputPosition, frames);
        return 1;
    }
    if (outputPosition != expected_) {
        // The output position jumped: the source continues from position / s.
        engine_->seek(std::trunc(static_cast<double>(outputPosition) / (unity(s_) ? 1.0 : s_)));
        expected_ = outputPosition;
    }
    engine_->process(channelBuffers, outputChannels_, frames);
    if (outputChannels_ == 2 && engine_->channels() == 1)
        std::copy(channelBuffers[0], channelBuffers[0] + frames, channelBuffers[1]);
    expected_ += frames;
    return 1;
}

} // namespace player
