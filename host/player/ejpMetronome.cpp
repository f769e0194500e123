#include "host/player/ejpMetronome.h"

#include "host/player/ejpDefaultClick.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

namespace player {

ejpMetronome::ejpMetronome()
{
    auto* click = new Click;
    const int length = ejpDefaultClickLength(44100.0);
    click->samples.resize(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        click->samples[std::size_t(i)] = static_cast<float>(ejpDefaultClickSample(i, length));
    click_.store(click);
}

ejpMetronome::~ejpMetronome()
{
    delete click_.load();
}

void ejpMetronome::setEnabled(bool enabled)
{
    // The restart is posted before the flag, so no block runs enabled on the
    // old count.
    if (enabled && !isEnabled())
        restartBeat();
    enabled_.store(enabled, std::memory_order_release);
}

void ejpMetronome::setTempo(float bpm)
{
    if (!std::isfinite(bpm) || bpm <= 0.0f)
        return;
    if (isEnabled()) {
        pending_.store(bpm, std::memory_order_release);
    } else {
        pending_.store(0.0f, std::memory_order_release);
        tempo_.store(bpm, std::memory_order_release);
    }
}

void ejpMetronome::setVolume(float v)
{
    if (std::isfinite(v))
        volume_.store(std::clamp(v, 0.0f, 1.0f), std::memory_order_relaxed);
}

void ejpMetronome::setSampleRate(float hz)
{
    if (std::isfinite(hz) && hz > 0.0f)
        rate_.store(hz, std::memory_order_release);
}

bool ejpMetronome::loadClick(const void* samples, std::size_t bytes)
{
    const std::size_t length = bytes / 2;
    if (samples == nullptr || length == 0)
        return false;
    auto* click = new Click;
    click->samples.resize(length);
    const auto* in = static_cast<const unsigned char*>(samples);
    for (std::size_t i = 0; i < length; ++i) {
        const auto value = static_cast<std::int16_t>(in[2 * i] | (in[2 * i + 1] << 8));
        click->samples[i] = static_cast<float>(value) / 32767.0f;
    }
    // The audio thread raises inMix_ before it loads the pointer: once the
    // swap is done and no mix is running, nobody holds the old click.
    Click* old = click_.exchange(click);
    while (inMix_.load())
        std::this_thread::yield();
    delete old;
    return true;
}

std::vector<float> ejpMetronome::click() const
{
    return click_.load()->samples;
}

std::string ejpMetronome::tempoText() const
{
    const float pending = pending_.load(std::memory_order_acquire);
    char text[32];
    std::snprintf(text, sizeof text, "%1.1f", pending > 0.0f ? pending : tempo());
    return text;
}

std::string ejpMetronome::volumeText() const
{
    char text[32];
    std::snprintf(text, sizeof text, "VOLUME %1.0f%%", volume() * 100.0f);
    return text;
}

std::int64_t ejpMetronome::period() const
{
    // Tempo and rate are both finite and positive (checked where they are
    // set); the period is at least one frame, whatever the tempo.
    const double frames = std::floor(double(rate_.load(std::memory_order_acquire)) * 60.0 /
                                     double(tempo_.load(std::memory_order_acquire)));
    return static_cast<std::int64_t>(std::clamp(frames, 1.0, 4.0e18));
}

void ejpMetronome::addClick(const Click& click, float* left, float* right, int at, int frames)
{
    const float gain = volume();
    const float* from = click.samples.data() + readPosition_;
    for (int i = 0; i < frames; ++i) {
        left[at + i] += gain * from[i];
        right[at + i] += gain * from[i];
    }
    readPosition_ += std::size_t(frames);
}

void ejpMetronome::mixClicks(float* left, float* right, int frames)
{
    inMix_.store(true);
    const Click& click = *click_.load();
    if (!isEnabled() || frames <= 0 || left == nullptr || right == nullptr) {
        inMix_.store(false);
        return;
    }
    // Taken only while enabled: enabling posts its restart before the flag,
    // so a block that sees the flag sees the restart too.
    if (restart_.exchange(false, std::memory_order_acq_rel))
        counter_ = period() - 1;
    const std::int64_t p = period();
    const std::int64_t toBeat = p - (counter_ % p + 1);
    const std::size_t length = click.samples.size();
    if (toBeat < frames) {
        const auto at = static_cast<int>(toBeat);
        const std::size_t room = std::size_t(frames - at);
        sounding_ = length > room;
        readPosition_ = 0;
        addClick(click, left, right, at, static_cast<int>(std::min(room, length)));
        const float pending = pending_.exchange(0.0f, std::memory_order_acq_rel);
        if (pending > 0.0f) {
            tempo_.store(pending, std::memory_order_release);
            // Counted from this click, so the next one falls one new period
            // after it whatever the block size.
            counter_ = frames - toBeat - 1;
            inMix_.store(false);
            return;
        }
    } else if (sounding_) {
        if (readPosition_ >= length) {
            sounding_ = false; // a shorter click was loaded meanwhile
        } else {
            const std::size_t part = std::min(std::size_t(frames), length - readPosition_);
            addClick(click, left, right, 0, static_cast<int>(part));
            sounding_ = readPosition_ < length;
        }
    }
    counter_ += frames;
    inMix_.store(false);
}

} // namespace player
