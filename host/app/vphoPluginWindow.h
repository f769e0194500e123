#pragma once

#include "host/app/vphoClock.h"
#include "host/app/vphoCpuMeter.h"
#include "host/app/vphoHostSettings.h"
#include "host/app/vphoKeyboardMidi.h"
#include "host/app/vphoMidiRing.h"
#include "host/app/vphoPluginLoadInfo.h"
#include "host/app/vphoTapTempo.h"
#include "host/app/vphoWindowSide.h"
#include "host/audio/MPAudio.h"
#include "plugin/DUZ2.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The standalone host's main window, its logic: binds the plug-in module,
// opens its editor, keeps the settings and the session, starts and restarts
// the audio device, feeds every block to the plug-in and turns the computer
// keyboard into MIDI. The native window, its status bar and the windows it
// opens are reached through a vphoWindowSide.
//
// Threads: everything runs on the user-interface thread except processAudio
// (the device's thread while audio runs, the tick otherwise) and the MIDI
// producers (receiveMidiBytes). What those share with this thread - switches,
// gains, the tempo, the running state and the restart request - are atomics.
class vphoPluginWindow : public Zq::DUZ2::Host, public MPAudio {
public:
    static constexpr int kTickMicros = 50'000;
    static constexpr int kStartDelayMicros = 1'000'000;
    static constexpr int kStoppedBlockFrames = 1024;
    static constexpr int kMaxChannels = vphoHostSettings::kChannelSlots;

    // info: the product description; null is BorvanQom's.
    vphoPluginWindow(vphoWindowSide& side, const vphoClock& clock = vphoMonotonicClock::instance(),
                     std::unique_ptr<vphoPluginLoadInfo> info = nullptr);
    ~vphoPluginWindow() override;

    // Loads and binds the plug-in, opens its editor in a new native window
    // and loads the host settings.
    void loadPlugIn();
    // After the native window is shown; player may be null.
    void onOpened(vphoPlayerLink* player);
    // Every 0.05 s.
    void onTick();
    // Once per turn of the main and modal message loops: the editor pumps its
    // own X connection in its idle entry.
    void idleEditor();
    // Saves what is due and releases the audio device, the editor, the
    // process and the module, in this order; then ends the message loop.
    void onClose();

    bool startAudio(bool showError);
    void stopAudio();
    void restartAudioIfDue();
    // After a failed start: another try 1 s later.
    void requestAudioRetry();
    // A fresh start 1 s later (the set-up windows, a device reset).
    void requestAudioStart();

    // An empty path is the default session file.
    void loadSession(const std::filesystem::path& path = {});
    void saveSession(const std::filesystem::path& path = {});
    std::filesystem::path defaultSessionPath() const;

    void setTempo(float bpm, bool tapped);
    void tapTempo();
    // The player's tempo notification ('plte').
    void onPlayerTempo(const float* bpm);
    void saveSettingsNow();
    // The status bar's gain control, in whole decibels.
    void onGainChanged(int decibels);
    // 'amst', 'bpst', 'quit'; false for any other command.
    bool onCommand(epiFourCC command);
    // A file dropped on the window goes to the player.
    void onFileDropped(const char* path);

    // Computer keyboard.
    void onCharacter(int code);
    void onKeyRelease(int code);
    void onArrowKey(int code) { keys_.onArrowKey(code); }

    // Raw MIDI input, from any producer thread.
    void receiveMidiBytes(int length, const std::uint8_t* bytes);
    // Audio thread.
    void deliverMidiEvents();
    void processAudio(float** inputs, int inputCount, float** outputs, int outputCount, int frames);

    // The Host table's side.
    float getTempo() override { return settings_.getTempo(); }
    void onParameterChanged(std::int32_t, float, float) override {}
    // The audio device's side.
    void notify(int code) override;
    void process(float** inputs, int inputCount, float** outputs, int outputCount,
                 int frames) override
    {
        processAudio(inputs, inputCount, outputs, outputCount, frames);
    }

    vphoHostSettings& settings() { return settings_; }
    const vphoPluginLoadInfo& loadInfo() const { return *info_; }
    bool isAudioRunning() const { return running_.load(); }
    bool isStartPending() const { return startPending_; }
    bool isSettingsChanged() const { return settingsChanged_; }
    void markSettingsChanged() { settingsChanged_ = true; }
    bool hasEditor() const { return gui_ != nullptr; }
    bool hasProcess() const { return process_ != nullptr; }
    int inputCount() const { return inputCount_; }
    int outputCount() const { return outputCount_; }
    int topOffset() const { return topOffset_; }
    bool inputMuted() const { return inputMute_.load(); }
    bool playerIntoInput() const { return playerIntoInput_.load(); }
    vphoCpuMeter& cpuMeter() { return cpu_; }

private:
    // The editor, then the process, then the module.
    void releasePlugIn();
    void refreshStatus();
    void showTempo(bool tapped);
    void showInputGain();
    void openAudioSetup();
    void mixPlayer(float* left, float* right, int frames, bool clicks);

    vphoWindowSide& side_;
    const vphoClock& clock_;
    std::unique_ptr<vphoPluginLoadInfo> info_;
    Zq::DUZ2::PlugInTable* plugIn_ = nullptr;
    Zq::DUZ2::ProcessTable* process_ = nullptr;
    Zq::DUZ2::GUITable* gui_ = nullptr;
    // The editor opens in this window; its address goes to the editor.
    unsigned long nativeWindow_ = 0;
    bool nativeCreated_ = false;
    int inputCount_ = 1;
    int outputCount_ = 2;
    vphoHostSettings settings_;
    float outputGain_ = 1.0f;
    bool inputGainOn_ = true;

    std::atomic<bool> running_{false};
    bool startPending_ = false;
    std::int64_t startDue_ = 0;
    std::atomic<bool> restartRequested_{false};
    bool firstStart_ = false;
    bool openSetupRequested_ = false;
    bool settingsChanged_ = false;
    // A start after a failure says nothing: one message per series.
    bool retrying_ = false;

    vphoMidiRing midiRing_;
    Zq::DUZ2::MidiEvent midiBatch_[vphoMidiRing::kEntries] = {};
    vphoKeyboardMidi keys_;
    std::atomic<bool> inputMute_{false};
    std::atomic<bool> playerIntoInput_{false};
    vphoCpuMeter cpu_;
    vphoTapTempo taps_;
    vphoPlayerLink* player_ = nullptr;
    std::string baseName_;
    int topOffset_ = 0;

    // Scratch for the player's unused channel; the zeroed blocks of the tick.
    static constexpr int kScratchFrames = 8192;
    float scratchLeft_[kScratchFrames] = {};
    float scratchRight_[kScratchFrames] = {};
    std::vector<float> stoppedStorage_;
    float* stoppedInputs_[kMaxChannels] = {};
    float* stoppedOutputs_[kMaxChannels] = {};
};
