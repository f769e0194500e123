#include "host/audio/MPAudioDirectX.h"

#include "platform/DebugOutput.h"

#include <alsa/asoundlib.h>
#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <cmath>
#include <cstring>

namespace {

class AlsaStream : public MPAudioPcmStream {
public:
    explicit AlsaStream(snd_pcm_t* pcm) : pcm_(pcm) {}
    ~AlsaStream() override { snd_pcm_close(pcm_); }
    long read(int16_t* frames, long count) override
    {
        return static_cast<long>(
            snd_pcm_readi(pcm_, frames, static_cast<snd_pcm_uframes_t>(count)));
    }
    long write(const int16_t* frames, long count) override
    {
        return static_cast<long>(
            snd_pcm_writei(pcm_, frames, static_cast<snd_pcm_uframes_t>(count)));
    }
    bool recover(long error) override
    {
        return snd_pcm_recover(pcm_, static_cast<int>(error), 1) == 0;
    }
    void drop() override { snd_pcm_drop(pcm_); }
    bool prepare() override { return snd_pcm_prepare(pcm_) == 0; }

private:
    snd_pcm_t* pcm_;
};

// Real-time scheduling needs a privilege most users lack; the threads then run
// at normal priority rather than failing the start.
void askForRealTimePriority()
{
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO) - 10;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0)
        platform::debugOutput("ALSA: real-time priority refused, running at normal priority\n");
}

} // namespace

MPAudioDirectX::MPAudioDirectX() = default;

MPAudioDirectX::~MPAudioDirectX()
{
    close();
    joinThreads();
}

int16_t MPAudioDirectX::toSample(float value)
{
    if (!(value == value))
        return 0;
    const float scaled = std::round(value * 32767.0f);
    return static_cast<int16_t>(scaled > 32767.0f ? 32767.0f
                                                  : (scaled < -32768.0f ? -32768.0f : scaled));
}

float MPAudioDirectX::fromSample(int16_t value)
{
    return static_cast<float>(value) * 0.00003051850947599719f;
}

void MPAudioDirectX::deviceEnumerate()
{
    inputs_.clear();
    outputs_.clear();
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) != 0 || hints == nullptr)
        return;
    for (void** hint = hints; *hint; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* direction = snd_device_name_get_hint(*hint, "IOID");
        if (name) {
            MPAudioDeviceInfo info;
            info.name = std::string(name).substr(0, 511);
            info.identifier = name;
            info.channelCount = 2;
            // No direction means both.
            if (!direction || std::strcmp(direction, "Output") == 0) {
                info.driverIndex = static_cast<int32_t>(outputs_.size());
                outputs_.push_back(info);
            }
            if (!direction || std::strcmp(direction, "Input") == 0) {
                info.driverIndex = static_cast<int32_t>(inputs_.size());
                inputs_.push_back(info);
            }
        }
        std::free(name);
        std::free(direction);
    }
    snd_device_name_free_hint(hints);
}

std::unique_ptr<MPAudioPcmStream> MPAudioDirectX::openStream(const std::string& name, bool capture,
                                                             int sampleRate, int& frames)
{
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, name.c_str(), capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK,
                     0) < 0)
        return nullptr;
    auto stream = std::make_unique<AlsaStream>(pcm);
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_uframes_t period = static_cast<snd_pcm_uframes_t>(frames);
    unsigned periods = 2;
    if (snd_pcm_hw_params_any(pcm, hw) < 0 ||
        snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE) < 0 ||
        snd_pcm_hw_params_set_channels(pcm, hw, 2) < 0 ||
        snd_pcm_hw_params_set_rate(pcm, hw, static_cast<unsigned>(sampleRate), 0) < 0 ||
        snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr) < 0 ||
        snd_pcm_hw_params_set_periods_near(pcm, hw, &periods, nullptr) < 0 ||
        snd_pcm_hw_params(pcm, hw) < 0)
        return nullptr;
    snd_pcm_hw_params_get_period_size(hw, &period, nullptr);
    frames = static_cast<int>(period);
    return stream;
}

// -2, or an index past the list, is the system's default device.
std::string MPAudioDirectX::deviceName(int index, bool isInput) const
{
    const auto& list = isInput ? inputs_ : outputs_;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return "default";
    return list[static_cast<std::size_t>(index)].identifier;
}

bool MPAudioDirectX::deviceOpen()
{
    int frames = config_.bufferSize > 0 ? config_.bufferSize : 512;
    if (config_.outputDevice != -1) {
        playback_ =
            openStream(deviceName(config_.outputDevice, false), false, config_.sampleRate, frames);
        if (!playback_)
            return false;
    }
    if (config_.inputDevice != -1) {
        // The device may grant another period than asked; both directions
        // must run at the same one.
        int captureFrames = frames;
        capture_ = openStream(deviceName(config_.inputDevice, true), true, config_.sampleRate,
                              captureFrames);
        if (!capture_ || captureFrames != frames) {
            capture_.reset();
            playback_.reset();
            return false;
        }
    }
    framesPerBuffer_ = frames;
    const auto half = static_cast<std::size_t>(frames) * 2;
    ring_.assign(half * 4, 0);
    playbackHalf_.assign(half, 0);
    captureHalf_.assign(half, 0);
    return true;
}

void MPAudioDirectX::deviceClose()
{
    joinThreads();
    playback_.reset();
    capture_.reset();
    ring_.clear();
    ring_.shrink_to_fit();
}

void MPAudioDirectX::resetRing()
{
    std::fill(ring_.begin(), ring_.end(), 0);
    ringWrite_ = 0;
    ringRead_ = 0;
    halvesWritten_.store(0);
    halvesRead_.store(0);
}

bool MPAudioDirectX::deviceStart()
{
    joinThreads();
    // A stop drops the streams; they run again only once prepared.
    if ((playback_ && !playback_->prepare()) || (capture_ && !capture_->prepare()))
        return false;
    resetRing();
    stopRequested_.store(false);
    if (playback_) {
        runningThreads_.fetch_add(1);
        playbackThread_ = std::thread([this] { playbackThread(); });
    }
    if (capture_) {
        runningThreads_.fetch_add(1);
        captureThread_ = std::thread([this] { captureThread(); });
    }
    return playback_ || capture_;
}

void MPAudioDirectX::deviceStop()
{
    stopRequested_.store(true);
    if (playback_)
        playback_->drop();
    if (capture_)
        capture_->drop();
    for (int i = 0; i < stopTries_ && runningThreads_.load() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(stopIntervalMs_));
    // A thread that hangs in the driver is given up on here, and joined at
    // close once it returns.
    if (runningThreads_.load() == 0)
        joinThreads();
}

void MPAudioDirectX::joinThreads()
{
    if (playbackThread_.joinable())
        playbackThread_.join();
    if (captureThread_.joinable())
        captureThread_.join();
}

void MPAudioDirectX::playbackHalf(int16_t* half)
{
    const int frames = framesPerBuffer_;
    // The half captured one period earlier, if it is there; otherwise the
    // inputs keep what they hold.
    if (logicalInputCount() > 0 &&
        halvesRead_.load() < halvesWritten_.load(std::memory_order_acquire)) {
        const int16_t* source = ring_.data() + static_cast<std::ptrdiff_t>(ringRead_) * frames * 2;
        float* left = inputGroupCount() > 0 ? inputGroupBuffer(0) : nullptr;
        float* right = inputGroupCount() > 1 ? inputGroupBuffer(1) : nullptr;
        for (int k = 0; k < frames; ++k) {
            if (left)
                left[k] = fromSample(source[2 * k]);
            if (right)
                right[k] = fromSample(source[2 * k + 1]);
        }
        ringRead_ = (ringRead_ + 1) % 4;
        halvesRead_.fetch_add(1, std::memory_order_release);
    }
    runCallback(frames);
    const float* left = outputGroupCount() > 0 ? outputGroupBuffer(0) : nullptr;
    const float* right = outputGroupCount() > 1 ? outputGroupBuffer(1) : nullptr;
    for (int k = 0; k < frames; ++k) {
        half[2 * k] = left ? toSample(left[k]) : 0;
        half[2 * k + 1] = right ? toSample(right[k]) : 0;
    }
}

void MPAudioDirectX::captureHalf(const int16_t* half)
{
    const int frames = framesPerBuffer_;
    if (playback_) {
        // Duplex: the playback thread takes the half one period later. A
        // ring the playback side has not emptied drops the new half rather
        // than overwrite one being read.
        if (halvesWritten_.load() - halvesRead_.load(std::memory_order_acquire) >= 3)
            return;
        ringWrite_ = (ringWrite_ + 1) % 4;
        std::memcpy(ring_.data() + static_cast<std::ptrdiff_t>(ringWrite_) * frames * 2, half,
                    static_cast<std::size_t>(frames) * 2 * sizeof(int16_t));
        halvesWritten_.fetch_add(1, std::memory_order_release);
        return;
    }
    float* left = inputGroupCount() > 0 ? inputGroupBuffer(0) : nullptr;
    float* right = inputGroupCount() > 1 ? inputGroupBuffer(1) : nullptr;
    for (int k = 0; k < frames; ++k) {
        if (left)
            left[k] = fromSample(half[2 * k]);
        if (right)
            right[k] = fromSample(half[2 * k + 1]);
    }
    runCallback(frames);
}

void MPAudioDirectX::playbackThread()
{
    askForRealTimePriority();
    const long frames = framesPerBuffer_;
    while (!stopRequested_.load()) {
        playbackHalf(playbackHalf_.data());
        long done = 0;
        while (done < frames && !stopRequested_.load()) {
            const long n = playback_->write(playbackHalf_.data() + done * 2, frames - done);
            if (n >= 0)
                done += n;
            else if (stopRequested_.load() || !playback_->recover(n))
                break;
        }
        if (done < frames && !stopRequested_.load())
            break; // the device is gone
    }
    runningThreads_.fetch_sub(1);
}

void MPAudioDirectX::captureThread()
{
    askForRealTimePriority();
    const long frames = framesPerBuffer_;
    while (!stopRequested_.load()) {
        long done = 0;
        while (done < frames && !stopRequested_.load()) {
            const long n = capture_->read(captureHalf_.data() + done * 2, frames - done);
            if (n >= 0)
                done += n;
            else if (stopRequested_.load() || !capture_->recover(n))
                break;
        }
        if (done < frames)
            break;
        captureHalf(captureHalf_.data());
    }
    runningThreads_.fetch_sub(1);
}
