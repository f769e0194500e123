#include "host/app/vphoPluginWindow.h"

#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr epiFourCC kInfo = epiCode("info");
constexpr epiFourCC kPercent = epiCode("perc");
constexpr epiFourCC kMeter = epiCode("temp");
constexpr epiFourCC kTempo = epiCode("tbpm");
constexpr epiFourCC kPlaying = epiCode("plab");
constexpr epiFourCC kDisabled = epiCode("disl");
constexpr epiFourCC kGainText = epiCode("gadi");
constexpr epiFourCC kGainControl = epiCode("gasc");

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string formatInt(const char* pattern, int value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

void scale(float* samples, int frames, float factor)
{
    for (int i = 0; i < frames; ++i)
        samples[i] *= factor;
}

} // namespace

vphoPluginWindow::vphoPluginWindow(vphoWindowSide& side, const vphoClock& clock,
                                   std::unique_ptr<vphoPluginLoadInfo> info)
    : side_(side), clock_(clock),
      info_(info ? std::move(info) : std::make_unique<BorvanQomPluginLoadInfo>()),
      keys_([this](const std::uint8_t* bytes, int length) { receiveMidiBytes(length, bytes); }),
      cpu_(clock), taps_(clock)
{
    inputGainOn_ = info_->hasInputGain();
    if (info_->hasOutputGain())
        outputGain_ = std::pow(10.0f, info_->getOutputGainDb() * 0.05f);
    stoppedStorage_.assign(static_cast<std::size_t>(2 * kMaxChannels * kStoppedBlockFrames), 0.0f);
    for (int c = 0; c < kMaxChannels; ++c) {
        stoppedInputs_[c] = stoppedStorage_.data() + c * kStoppedBlockFrames;
        stoppedOutputs_[c] = stoppedStorage_.data() + (kMaxChannels + c) * kStoppedBlockFrames;
    }
}

vphoPluginWindow::~vphoPluginWindow()
{
    // The device's thread calls back into this object: it ends first.
    destroyDevice();
    releasePlugIn();
}

void vphoPluginWindow::releasePlugIn()
{
    if (gui_) {
        side_.destroyNativeWindow();
        nativeCreated_ = false;
        gui_->close(gui_);
        gui_ = nullptr;
    }
    if (process_) {
        process_->stopProcess(process_);
        process_->suspend(process_);
        plugIn_->destroyProcess(plugIn_, process_);
        process_ = nullptr;
    }
    if (plugIn_) {
        unloadPlugIn();
        plugIn_ = nullptr;
    }
}

void vphoPluginWindow::loadPlugIn()
{
    baseName_ = info_->getProductName();
    topOffset_ = info_->hasPlayer() ? side_.playerViewHeight() : 0;
    if (Zq::DUZ2::Host::loadPlugIn(info_->getProductName())) {
        plugIn_ = getPlugInTable();
        plugIn_->getVersion(plugIn_);
        process_ = plugIn_->createProcess(plugIn_, getHostTable(), 0);
        if (process_) {
            const std::int32_t outputs = process_->getNumOutputs(process_);
            if (outputs != -1)
                outputCount_ = std::clamp<std::int32_t>(outputs, 0, kMaxChannels);
            process_->setNumInputChannels(process_, inputCount_);
            process_->setNumOutputChannels(process_, outputCount_);
            process_->setBlockSize(process_, 1024);
            process_->setSampleRate(process_, 44100.0f);
            process_->resume(process_);
            gui_ = plugIn_->getGUI(plugIn_, process_);
            if (gui_) {
                std::int32_t width = 0, height = 0;
                gui_->getSize(gui_, &width, &height);
                gui_->setPosition(gui_, 0, topOffset_);
                nativeWindow_ = side_.createNativeWindow();
                nativeCreated_ = true;
                gui_->open(gui_, &nativeWindow_);
            }
            process_->startProcess(process_);
        }
        side_.setTitle(info_->getWindowTitle());
        baseName_.erase(std::remove(baseName_.begin(), baseName_.end(), '.'), baseName_.end());
        baseName_.erase(std::remove(baseName_.begin(), baseName_.end(), ' '), baseName_.end());
    }
    if (!gui_) {
        char title[256];
        std::snprintf(title, sizeof title, "%s - not loaded", info_->getWindowTitle());
        side_.setTitle(title);
        if (!nativeCreated_) {
            nativeWindow_ = side_.createNativeWindow();
            nativeCreated_ = true;
        }
    }
    settings_.load(info_->getProductName());
}

std::filesystem::path vphoPluginWindow::defaultSessionPath() const
{
    // Beside the settings' key folder, whose files are values: a session is
    // no setting, and the current directory of a started program is anywhere.
    return platform::settingsRoot() / "Zq Sonware" / (baseName_ + ".hostParams");
}

void vphoPluginWindow::onOpened(vphoPlayerLink* player)
{
    player_ = info_->hasPlayer() ? player : nullptr;
    side_.showStatusBar(false);
    if (settings_.autoSession)
        loadSession();
    side_.hideLoadingWindow();
    if (gui_) {
        std::int32_t width = 0, height = 0;
        gui_->getSize(gui_, &width, &height);
        if (info_->hasStatusBar()) {
            const int barHeight = side_.statusBarHeight();
            side_.setClientSize(width, barHeight + topOffset_ + height);
            side_.placeStatusBar(0, topOffset_ + height);
            side_.setStatusText(kInfo, "Preparing...");
            side_.setStatusText(kPercent, formatInt("%d%%", 0));
            side_.setStatusValue(kMeter, 0);
            showTempo(false);
            side_.setStatusVisible(kTempo, info_->showsTempo());
            side_.showStatusBar(true);
        } else {
            side_.setClientSize(width, topOffset_ + height);
        }
    }
    side_.setStatusText(kInfo, "Ready");
    if (settings_.defaulted)
        firstStart_ = true;
    if (player_)
        player_->setHostTempo(settings_.getTempo());
    if (!info_->isAudioDisabled()) {
        startPending_ = true;
        startDue_ = clock_.nowMicros() + kStartDelayMicros;
    }
    refreshStatus();
}

void vphoPluginWindow::onTick()
{
    restartAudioIfDue();
    idleEditor();
    int load = 0;
    if (cpu_.poll(load)) {
        side_.setStatusText(kPercent, formatInt("%d%%", load));
        side_.setStatusValue(kMeter, load);
    }
    if (openSetupRequested_) {
        openSetupRequested_ = false;
        openAudioSetup();
    }
    if (!running_.load()) {
        for (float& sample : stoppedStorage_)
            sample = 0.0f;
        processAudio(stoppedInputs_, inputCount_, stoppedOutputs_, outputCount_,
                     kStoppedBlockFrames);
    }
}

void vphoPluginWindow::idleEditor()
{
    if (gui_)
        gui_->idle(gui_);
}

void vphoPluginWindow::openAudioSetup()
{
    if (info_->isAudioDisabled())
        return;
    side_.openWindow(epiCode("ause"), vphoMidiLayout(*info_, "midi/audiosetup_1in2out.xml",
                                                     "nomidi/audiosetup_1in2out.xml"));
}

void vphoPluginWindow::restartAudioIfDue()
{
    if (running_.load()) {
        if (restartRequested_.exchange(false)) {
            stopAudio();
            requestAudioStart();
        }
        return;
    }
    if (!startPending_ || clock_.nowMicros() <= startDue_)
        return;
    bool started = false;
    if (settings_.defaulted) {
        const int presets = info_->triesAllInterfacePresets() ? 3 : 1;
        for (int preset = 0; preset < presets && !started; ++preset) {
            settings_.applyInterfacePreset(preset);
            started = startAudio(false);
        }
        if (!started)
            settings_.applyInterfacePreset(0);
    } else {
        started = startAudio(!retrying_);
    }
    if (started) {
        startPending_ = false;
        firstStart_ = false;
        retrying_ = false;
        refreshStatus();
        return;
    }
    requestAudioRetry();
    if (firstStart_) {
        openSetupRequested_ = true;
        firstStart_ = false;
    }
}

void vphoPluginWindow::requestAudioRetry()
{
    startPending_ = true;
    startDue_ = clock_.nowMicros() + kStartDelayMicros;
    retrying_ = true;
    refreshStatus();
}

void vphoPluginWindow::requestAudioStart()
{
    requestAudioRetry();
    retrying_ = false;
}

bool vphoPluginWindow::startAudio(bool showError)
{
    cpu_.setBlock(0, 0);
    running_.store(false);
    bool opened = false;
    const int rate = settings_.sampleRateHz();
    if (createDeviceByName(settings_.technology.c_str())) {
        setWindow(&nativeWindow_);
        MPAudioConfig config;
        int inputDevice = -1, outputDevice = -1;
        findDevice(settings_.inputDevice.c_str(), true, inputDevice);
        findDevice(settings_.outputDevice.c_str(), false, outputDevice);
        config.inputDevice = inputDevice;
        config.outputDevice = outputDevice;
        // A stored channel the device lacks takes the device channel of its
        // slot (modulo the device's channel count), so settings made on one
        // interface open on any other with enough channels; a device without
        // channels gets none. The names are asked once: an asking may cost a
        // JACK client's connection, and there are sixteen slots each way.
        auto mapChannels = [&](int device, bool isInput, const vphoHostSettings::Channel* slots,
                               MPAudioChannelEntry* entries) {
            std::vector<std::string> names;
            getCapabilities(device, isInput, nullptr, &names, nullptr, nullptr, nullptr, nullptr,
                            nullptr);
            const int count = static_cast<int>(names.size());
            for (int i = 0; i < vphoHostSettings::kChannelSlots; ++i) {
                const auto found = std::find(names.begin(), names.end(), slots[i].name);
                const int index = found != names.end() ? static_cast<int>(found - names.begin())
                                  : count > 0          ? i % count
                                                       : 0;
                entries[i].deviceChannel = index;
                entries[i].enabled = slots[i].active && count > 0;
            }
        };
        mapChannels(inputDevice, true, settings_.inputs, config.inputChannels);
        mapChannels(outputDevice, false, settings_.outputs, config.outputChannels);
        config.inputChannelCount = inputCount_;
        config.outputChannelCount = outputCount_;
        config.bufferSize = settings_.bufferFrames();
        config.sampleRate = rate;
        cpu_.setBlock(config.bufferSize, config.sampleRate);
        opened = open(config);
    }
    if (player_)
        player_->setSampleRate(static_cast<float>(rate));
    if (opened) {
        if (process_) {
            process_->setBlockSize(process_, bufferFrames());
            process_->setSampleRate(process_, static_cast<float>(rate));
        }
        running_.store(start());
    }
    if (!showError || opened || openSetupRequested_) {
        showInputGain();
        refreshStatus();
        return running_.load();
    }
    side_.openWindow(epiCode("mesg"),
                     vphoMidiLayout(*info_, "midi/message2.xml", "nomidi/message2.xml"));
    return running_.load();
}

void vphoPluginWindow::stopAudio()
{
    if (player_)
        player_->stop();
    close();
    running_.store(false);
    startPending_ = false;
    refreshStatus();
}

void vphoPluginWindow::notify(int code)
{
    if (code == 1)
        restartRequested_.store(true);
}

void vphoPluginWindow::refreshStatus()
{
    const bool running = running_.load();
    side_.setStatusVisible(kPlaying, running);
    side_.setStatusVisible(kMeter, running);
    side_.setStatusVisible(kPercent, running);
    side_.setStatusVisible(kDisabled, !running && startPending_);
}

void vphoPluginWindow::showInputGain()
{
    const float db = 20.0f * std::log10(settings_.getInputGain());
    side_.setStatusText(kGainText, format("%+2.0f dB", db));
    side_.setStatusValue(kGainControl, static_cast<int>(db));
}

void vphoPluginWindow::onGainChanged(int decibels)
{
    decibels = std::clamp(decibels, 0, 24);
    settings_.setInputGain(std::pow(10.0f, static_cast<float>(decibels) * 0.05f));
    side_.setStatusText(kGainText, format("%+2.0f dB", decibels));
    settingsChanged_ = true;
}

void vphoPluginWindow::showTempo(bool tapped)
{
    side_.setStatusText(kTempo, format(tapped ? "Tempo: %1.1f BPM (Tap)" : "Tempo: %1.1f BPM",
                                       settings_.getTempo()));
}

void vphoPluginWindow::setTempo(float bpm, bool tapped)
{
    if (bpm == settings_.getTempo())
        return;
    settings_.setTempo(bpm);
    showTempo(tapped);
    if (player_)
        player_->setHostTempo(bpm);
}

void vphoPluginWindow::tapTempo()
{
    if (taps_.tap() && taps_.getTempo() != settings_.getTempo())
        setTempo(taps_.getTempo(), true);
}

void vphoPluginWindow::onPlayerTempo(const float* bpm)
{
    if (bpm == nullptr || !std::isfinite(*bpm) || *bpm <= 0.0f)
        return;
    settings_.setTempo(*bpm);
    showTempo(false);
}

void vphoPluginWindow::saveSettingsNow()
{
    settings_.defaulted = false;
    settings_.save(info_->getProductName());
    settingsChanged_ = false;
}

bool vphoPluginWindow::onCommand(epiFourCC command)
{
    if (command == epiCode("amst")) {
        openAudioSetup();
        return true;
    }
    if (command == epiCode("bpst")) {
        side_.openWindow(epiCode("bmse"), "bpmsetup.xml");
        return true;
    }
    if (command == epiCode("quit")) {
        side_.quit();
        return true;
    }
    return false;
}

void vphoPluginWindow::onFileDropped(const char* path)
{
    if (player_ && path)
        player_->loadFile(path);
}

void vphoPluginWindow::onCharacter(int code)
{
    switch (keys_.onCharacter(code)) {
    case vphoKeyboardMidi::Action::toggleInputMute:
        inputMute_.store(!inputMute_.load());
        break;
    case vphoKeyboardMidi::Action::togglePlayerIntoInput:
        playerIntoInput_.store(!playerIntoInput_.load());
        break;
    case vphoKeyboardMidi::Action::tapTempo:
        tapTempo();
        break;
    case vphoKeyboardMidi::Action::toPlayer:
        if (player_)
            player_->onCharacter(code);
        break;
    case vphoKeyboardMidi::Action::none:
        break;
    }
}

void vphoPluginWindow::onKeyRelease(int code)
{
    keys_.onKeyRelease(code);
}

void vphoPluginWindow::receiveMidiBytes(int length, const std::uint8_t* bytes)
{
    midiRing_.push(bytes, length);
}

void vphoPluginWindow::loadSession(const std::filesystem::path& path)
{
    side_.setStatusText(kInfo, "Loading session...");
    epiFileDump dump;
    const std::filesystem::path file = path.empty() ? defaultSessionPath() : path;
    if (!dump.load(epiPath(file.string())))
        return;
    const std::size_t size = dump.getSize();
    if (process_ && size > 0 && size <= static_cast<std::size_t>(INT32_MAX))
        process_->setChunk(process_, dump.getData(), static_cast<std::int32_t>(size));
}

void vphoPluginWindow::saveSession(const std::filesystem::path& path)
{
    // Without a process there is no state to ask for.
    if (!process_)
        return;
    void* data = nullptr;
    const std::int32_t size = process_->getChunk(process_, &data);
    if (data == nullptr)
        return;
    const std::filesystem::path file = path.empty() ? defaultSessionPath() : path;
    if (size > 0) {
        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        epiFileDump dump;
        dump.save(epiPath(file.string()), data, static_cast<std::size_t>(size));
    }
    process_->releaseChunk(process_);
}

void vphoPluginWindow::onClose()
{
    // Sessions only while a process exists: it holds the state to save.
    if (settings_.autoSession && process_)
        saveSession();
    if (settingsChanged_) {
        settings_.defaulted = false;
        settings_.save(info_->getProductName());
        settingsChanged_ = false;
    }
    stopAudio();
    destroyDevice();
    releasePlugIn();
    side_.quit();
}

void vphoPluginWindow::deliverMidiEvents()
{
    const int count = midiRing_.drain(midiBatch_, vphoMidiRing::kEntries);
    if (count > 0 && process_)
        process_->processMidiEvents(process_, midiBatch_, count);
}

// The player adds into both channels it is given; a missing one is scratch,
// so that mixing touches only the channels that exist.
void vphoPluginWindow::mixPlayer(float* left, float* right, int frames, bool clicks)
{
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, kScratchFrames);
        float* l = left ? left + done : scratchLeft_;
        float* r = right ? right + done : scratchRight_;
        if (clicks)
            player_->mixClicks(l, r, n);
        else
            player_->mix(l, r, n);
        done += n;
    }
}

void vphoPluginWindow::processAudio(float** inputs, int inputCount, float** outputs,
                                    int outputCount, int frames)
{
    cpu_.startBlock();
    if (frames <= 0)
        return;
    const float gain = settings_.getInputGain();
    if (inputGainOn_ && gain != 1.0f && inputCount >= 1)
        for (int c = 0; c < inputCount; ++c)
            scale(inputs[c], frames, gain);
    if (inputMute_.load(std::memory_order_relaxed) && inputCount >= 1)
        std::fill(inputs[0], inputs[0] + frames, 0.0f);
    const bool intoInput = player_ && playerIntoInput_.load(std::memory_order_relaxed);
    if (intoInput && inputCount >= 1) {
        // The player's two channels, summed to the one input the rig plays.
        for (int done = 0; done < frames;) {
            const int n = std::min(frames - done, kScratchFrames);
            std::fill(scratchLeft_, scratchLeft_ + n, 0.0f);
            std::fill(scratchRight_, scratchRight_ + n, 0.0f);
            player_->mix(scratchLeft_, scratchRight_, n);
            float* in = inputs[0] + done;
            for (int i = 0; i < n; ++i)
                in[i] += 0.5f * (scratchLeft_[i] + scratchRight_[i]);
            done += n;
        }
    }

    if (process_) {
        deliverMidiEvents();
        if (outputCount != outputCount_ || inputCount != inputCount_) {
            // The plug-in cannot run on channels it was not told of; the
            // device's buffers still hold the last block, which would buzz.
            for (int c = 0; c < outputCount; ++c)
                std::fill(outputs[c], outputs[c] + frames, 0.0f);
            return;
        }
        std::int32_t flags = 0;
        process_->process(process_, inputs, outputs, frames, &flags);
        if (outputGain_ != 1.0f && outputCount >= 1)
            for (int c = 0; c < outputCount; ++c)
                scale(outputs[c], frames, outputGain_);
    } else {
        const int through = std::min({inputCount, outputCount, 2});
        for (int c = 0; c < through; ++c)
            std::copy(inputs[c], inputs[c] + frames, outputs[c]);
        for (int c = through; c < outputCount; ++c)
            std::fill(outputs[c], outputs[c] + frames, 0.0f);
    }

    if (player_ && outputCount >= 1) {
        float* left = outputs[0];
        float* right = outputCount >= 2 ? outputs[1] : nullptr;
        if (!intoInput)
            mixPlayer(left, right, frames, false);
        // The metronome is for the ears, never for the rig.
        mixPlayer(left, right, frames, true);
    }

    if (running_.load(std::memory_order_relaxed))
        cpu_.measure();
    else
        cpu_.clear();
}
