#include "host/player/ejpPlayer.h"

#include "host/player/ejpPlayerPrivate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <thread>

namespace player {
namespace {

constexpr float kNoFactor = std::numeric_limits<float>::quiet_NaN();

// The frame at fraction f of length, f clamped to 0 .. 1.
std::int64_t frameAt(double f, std::int64_t length)
{
    return static_cast<std::int64_t>(std::clamp(f, 0.0, 1.0) * double(length));
}

} // namespace

ejpPlayer::ejpPlayer(ejpMetronome* metronome)
    : metronome_(metronome),
      d_(std::make_unique<ejpPlayerPrivate>([this](float p) { loaderFinished(p); }))
{
    setSampleRate(44100.0f);
}

ejpPlayer::~ejpPlayer()
{
    d_->join();
    blockAudio();
    d_->archive.close();
}

void ejpPlayer::blockAudio()
{
    // With inMix_ raised before blocked_ is read on the audio side, a mix
    // either sees the block or is seen running here.
    blocked_.store(true);
    while (inMix_.load())
        std::this_thread::yield();
}

void ejpPlayer::resetFade()
{
    fading_ = false;
    fadeIn_ = false;
    fadeGain_ = 1.0f;
}

void ejpPlayer::setSampleRate(float hz)
{
    if (!std::isfinite(hz) || hz <= 0.0f || hz == sampleRate())
        return;
    blockAudio();
    sampleRate_.store(hz, std::memory_order_relaxed);
    fadeLength_ = std::max(1, static_cast<int>(hz * 0.005f));
    fadeStep_ = 1.0f / float(fadeLength_);
    d_->effect.reset();
    d_->effect = std::make_unique<zqEfxPstsPoly>(&d_->source, &ejpPlayerSource::read);
    d_->effect->setParam(10000, 2.0f);
    d_->effect->setParam(10001, 2.0f);
    d_->effect->setParam(10002, hz);
    d_->effect->prepare();
    effectS_ = effectP_ = kNoFactor;
    resetFade();
    unblockAudio();
}

bool ejpPlayer::load(const char* path)
{
    setPlaying(false);
    d_->join();
    blockAudio();
    d_->archive.close();
    loaded_.store(false, std::memory_order_release);
    loadFailed_.store(false, std::memory_order_release);
    length_.store(0);
    loopA_.store(0);
    loopB_.store(0);
    source_.store(0);
    output_.store(0);
    jumpPending_.store(false);
    timePending_.store(false);
    endReached_.store(false);
    loopWrapped_.store(false);
    resetFade();
    d_->left.setSegmentCount(26);
    d_->right.setSegmentCount(26);
    d_->progress.store(0.0f);
    unblockAudio();

    if (!d_->archive.open(path)) {
        d_->progress.store(1.0f);
        return false;
    }
    d_->archive.setChannels(2);
    d_->archive.setSampleRate(static_cast<int>(sampleRate()));
    const std::int64_t length = d_->archive.lengthFrames();
    length_.store(length);
    loopB_.store(length);
    d_->start();
    return true;
}

void ejpPlayer::loaderFinished(float progress)
{
    if (progress != 1.0f) {
        loadFailed_.store(!d_->archive.isDecoding(), std::memory_order_release);
        return;
    }
    // The estimate gives way to the frames actually held: a file that decodes
    // longer is not cut, a shorter one plays no silence; a loop end left at
    // the old length follows.
    const std::int64_t estimate = length_.load();
    const std::int64_t held = d_->archive.lengthFrames();
    std::int64_t end = estimate;
    loopB_.compare_exchange_strong(end, held);
    loopA_.store(std::min(loopA_.load(), held));
    length_.store(held);
    loaded_.store(true, std::memory_order_release);
    d_->progress.store(1.0f);
}

void ejpPlayer::unload()
{
    setPlaying(false);
    d_->join();
    blockAudio();
    d_->archive.close();
    loaded_.store(false, std::memory_order_release);
    // Nothing is left to play: a later start is refused, not read from the
    // closed file.
    length_.store(0);
    loopA_.store(0);
    loopB_.store(0);
    source_.store(0);
    output_.store(0);
    jumpPending_.store(false);
    unblockAudio();
    d_->progress.store(1.0f);
}

float ejpPlayer::progress() const
{
    return d_->progress.load(std::memory_order_relaxed);
}

void ejpPlayer::setPlaying(bool playing)
{
    if (playing == isPlaying())
        return;
    if (playing) {
        if (lengthFrames() <= 0)
            return;
        audioSeen_.store(false);
        endReached_.store(false);
        loopWrapped_.store(false);
        playing_.store(true, std::memory_order_release);
        return;
    }
    if (audioSeen_.load()) {
        stopAcknowledged_.store(false);
        playing_.store(false, std::memory_order_release);
        // The audio thread acknowledges at its next mix; a device that
        // stopped calling is given about one second.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!stopAcknowledged_.load(std::memory_order_acquire) &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        audioSeen_.store(false);
    } else {
        // No audio thread has run since the start (no device running): there
        // is nobody to acknowledge, so the stop takes effect at once.
        playing_.store(false, std::memory_order_release);
    }
    endReached_.store(false);
    loopWrapped_.store(false);
}

void ejpPlayer::setPositionFraction(double f)
{
    if (std::isnan(f))
        return;
    const std::int64_t target = frameAt(f, lengthFrames());
    if (isPlaying()) {
        jumpTarget_.store(target, std::memory_order_relaxed);
        jumpPending_.store(true, std::memory_order_release);
    } else {
        jumpPending_.store(false);
        source_.store(target);
        output_.store(std::llround(double(timeFactor()) * double(target)));
    }
}

void ejpPlayer::setLoopStartFraction(double f)
{
    if (!std::isnan(f))
        loopA_.store(frameAt(f, lengthFrames()), std::memory_order_release);
}

void ejpPlayer::setLoopEndFraction(double f)
{
    if (!std::isnan(f))
        loopB_.store(frameAt(f, lengthFrames()), std::memory_order_release);
}

void ejpPlayer::setVolume(float v)
{
    if (!std::isnan(v))
        volume_.store(std::clamp(v, 0.0f, 1.0f), std::memory_order_relaxed);
}

void ejpPlayer::setTempo(float t)
{
    if (std::isnan(t))
        return;
    const float speed = 1.0f + std::clamp(t, -1.0f, 1.0f) / 2.0f;
    tempoPercent_.store(static_cast<int>(speed * 100.0f), std::memory_order_relaxed);
    const float s = 1.0f / speed;
    if (isPlaying()) {
        timePendingValue_.store(s, std::memory_order_relaxed);
        timePending_.store(true, std::memory_order_release);
    } else {
        // Kept at the same source frame; the effect takes the factor at the
        // next render.
        timePending_.store(false);
        s_.store(s, std::memory_order_release);
        output_.store(std::llround(double(s) * double(sourcePosition())));
    }
}

void ejpPlayer::setPitch(float semitones)
{
    if (std::isnan(semitones))
        return;
    semitones = std::clamp(semitones, -12.0f, 12.0f);
    semitones_.store(semitones, std::memory_order_relaxed);
    p_.store(std::exp2(-semitones / 12.0f), std::memory_order_release);
}

double ejpPlayer::durationSeconds() const
{
    return double(lengthFrames()) / double(sampleRate());
}

double ejpPlayer::positionFraction() const
{
    const std::int64_t length = lengthFrames();
    if (length <= 0)
        return 0.0;
    const std::int64_t at =
        jumpPending_.load(std::memory_order_acquire) ? jumpTarget_.load() : sourcePosition();
    return double(at) / double(length);
}

double ejpPlayer::loopStartFraction() const
{
    const std::int64_t length = lengthFrames();
    return length > 0 ? double(loopStart()) / double(length) : 0.0;
}

double ejpPlayer::loopEndFraction() const
{
    const std::int64_t length = lengthFrames();
    return length > 0 ? double(loopEnd()) / double(length) : 0.0;
}

bool ejpPlayer::leftSegments(int& n)
{
    return d_->left.segments(n);
}

bool ejpPlayer::rightSegments(int& n)
{
    return d_->right.segments(n);
}

bool ejpPlayer::overview(std::vector<float>& points, int& count, int& changedFirst,
                         int& changedCount)
{
    return d_->archive.overview(points, count, changedFirst, changedCount);
}

std::string ejpPlayer::tempoText() const
{
    char text[32];
    std::snprintf(text, sizeof text, "TEMPO %d%%", tempoPercent());
    return text;
}

std::string ejpPlayer::pitchText() const
{
    char text[32];
    std::snprintf(text, sizeof text, "PITCH %+1.1f", semitones_.load(std::memory_order_relaxed));
    return text;
}

std::string ejpPlayer::volumeText() const
{
    char text[32];
    std::snprintf(text, sizeof text, "VOLUME %1.0f%%", volume() * 100.0f);
    return text;
}

// ---- audio thread ----

void ejpPlayer::mix(float* left, float* right, int frames)
{
    inMix_.store(true);
    audioSeen_.store(true);
    const bool playing = isPlaying();
    if (blocked_.load() || !playing || !isLoaded() || left == nullptr || right == nullptr) {
        if (!playing)
            stopAcknowledged_.store(true, std::memory_order_release);
        if (!blocked_.load()) {
            d_->left.fall(std::max(0, frames));
            d_->right.fall(std::max(0, frames));
        }
        inMix_.store(false);
        return;
    }
    for (int done = 0; done < frames && isPlaying();) {
        const int n = std::min(ejpPlayerPrivate::kScratchFrames, frames - done);
        mixPiece(left + done, right + done, n);
        done += n;
    }
    inMix_.store(false);
}

void ejpPlayer::startFadeOut()
{
    if (fading_ && !fadeIn_)
        return;
    fading_ = true;
    fadeIn_ = false;
}

void ejpPlayer::mixPiece(float* left, float* right, int frames)
{
    // A jump or tempo change the UI posted begins its fade-out here.
    if (jumpPending_.load(std::memory_order_acquire) ||
        timePending_.load(std::memory_order_acquire))
        startFadeOut();

    const std::int64_t a = loopA_.load(std::memory_order_acquire);
    const std::int64_t b = loopB_.load(std::memory_order_acquire);
    const bool looping = isLoopEnabled() && a < b;
    const double s = timeFactor();
    if (looping && !jumpPending_.load() && sourcePosition() + fadeLength_ + frames >= b) {
        jumpTarget_.store(a);
        jumpPending_.store(true, std::memory_order_release);
        startFadeOut();
        loopWrapped_.store(true);
    }
    if (sourcePosition() < lengthFrames()) {
        render(left, right, frames);
        return;
    }
    if (looping) {
        source_.store(a);
        output_.store(std::llround(s * double(a)));
        fading_ = true;
        fadeIn_ = true;
        fadeGain_ = 0.0f;
        jumpPending_.store(false);
        loopWrapped_.store(true);
        render(left, right, frames);
        if (metronome_ != nullptr)
            metronome_->restartBeat();
        return;
    }
    endReached_.store(true);
    playing_.store(false, std::memory_order_release);
    source_.store(0);
    output_.store(0);
}

void ejpPlayer::applyFactors()
{
    // The effect is the audio thread's: the UI's factors reach it here, never
    // from the UI thread while it renders.
    const float s = timeFactor(), p = pitchFactor();
    if (!(s == effectS_)) {
        d_->effect->setTimeFactor(s);
        effectS_ = s;
    }
    if (!(p == effectP_)) {
        d_->effect->setPitchFactor(p);
        effectP_ = p;
    }
}

void ejpPlayer::completeFadeOut()
{
    std::int64_t source = sourcePosition();
    if (jumpPending_.exchange(false, std::memory_order_acq_rel)) {
        source = jumpTarget_.load();
        source_.store(source);
        output_.store(std::llround(double(timeFactor()) * double(source)));
        if (metronome_ != nullptr)
            metronome_->restartBeat();
    }
    if (timePending_.exchange(false, std::memory_order_acq_rel)) {
        const float s = timePendingValue_.load(std::memory_order_relaxed);
        s_.store(s, std::memory_order_release);
        output_.store(std::llround(double(s) * double(source)));
        applyFactors();
    }
    fading_ = true;
    fadeIn_ = true;
}

void ejpPlayer::render(float* left, float* right, int frames)
{
    applyFactors();
    float* outL = d_->scratchLeft.data();
    float* outR = d_->scratchRight.data();
    const float volume = this->volume();
    int done = 0;
    while (done < frames) {
        const std::int64_t source = sourcePosition();
        const std::int64_t length = lengthFrames();
        const auto n = static_cast<int>(std::min<std::int64_t>(frames - done, length - source));
        if (n <= 0)
            break;
        const std::int64_t start = outputPosition();
        float* buffers[2] = {outL + done, outR + done};
        d_->effect->process(buffers, start, n);
        int used = n;
        bool completed = false;
        for (int i = 0; i < n; ++i) {
            if (fading_) {
                if (fadeIn_) {
                    fadeGain_ = std::min(1.0f, fadeGain_ + fadeStep_);
                    if (fadeGain_ >= 1.0f - 1e-6f) {
                        fadeGain_ = 1.0f;
                        fading_ = false;
                    }
                } else {
                    fadeGain_ = std::max(0.0f, fadeGain_ - fadeStep_);
                    if (fadeGain_ <= 1e-6f) {
                        fadeGain_ = 0.0f;
                        fading_ = false;
                        completed = true;
                    }
                }
            }
            const float gain = fadeGain_ * volume;
            buffers[0][i] *= gain;
            buffers[1][i] *= gain;
            if (completed) {
                used = i + 1;
                break;
            }
        }
        // The source position is the frame the next output frame comes from.
        const std::int64_t end = start + used;
        output_.store(end, std::memory_order_release);
        source_.store(static_cast<std::int64_t>(double(end) / double(timeFactor())),
                      std::memory_order_release);
        done += used;
        // The rest of the block continues from the jump target or at the new
        // tempo, fading in: the gap lasts one fade-out and one fade-in at any
        // block size.
        if (completed)
            completeFadeOut();
    }
    d_->left.update(outL, done);
    d_->right.update(outR, done);
    for (int i = 0; i < done; ++i) {
        left[i] += outL[i];
        right[i] += outR[i];
    }
}

} // namespace player
