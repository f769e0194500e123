#pragma once

#include "host/audio/MPAudioBase.h"

#include <functional>
#include <memory>
#include <string>

// Owns at most one device of either technology, forwards the interface to it
// and is the device's client: derived classes implement notify and process.
class MPAudio : public MPAudioInterface {
public:
    // Makes the device of a kind index; replaces the built-in back ends (tests).
    using DeviceFactory = std::function<std::unique_ptr<MPAudioBase>(int kindIndex)>;

    MPAudio() = default;
    ~MPAudio() override;

    bool open(const MPAudioConfig& config) override;
    bool openChannels(int inDevice, int outDevice, int bufferFrames, int inLeft, int inRight,
                      int outLeft, int outRight, int sampleRate) override;
    bool openByNames(const MPAudioNamedSettings& settings) override;
    bool openConfigByNames(const char* inName, const char* outName, MPAudioConfig& config) override;
    void close() override;
    bool start() override;
    void stop() override;
    bool isRunning() const override;
    bool isOpen() const override;
    int64_t framesProcessed() const override;
    int bufferFrames() const override;
    void enumerate(bool force) override;
    const std::vector<MPAudioDeviceInfo>& outputDevices() const override;
    const std::vector<MPAudioDeviceInfo>& inputDevices() const override;
    bool findDevice(const char* name, bool isInput, int& index) override;
    bool getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                         std::vector<std::string>* channelNames, std::vector<int>* sampleRates,
                         int* hasPanel, int* preferredFrames, int* reserved, int* latency) override;
    bool findChannel(int device, bool isInput, const char* name, int& index) override;
    bool hasControlPanel() override;
    bool showControlPanel(int device, bool isInput) override;
    void notify(int) override {}
    void process(float**, int, float**, int, int) override {}
    void setWindow(void* window) override;
    void setClient(MPAudioInterface*) override {}

    // 0 "DirectX" (the ALSA PCM back end), 1 "ASIO" (the JACK back end); an
    // index of 2 or more creates nothing. Returns whether a device exists.
    bool createDevice(int kindIndex);
    // The kind whose name matches, ignoring ASCII case; no match leaves any
    // existing device in place and answers false.
    bool createDeviceByName(const char* name);
    void destroyDevice();
    // The stored identifier of a kind ("DirectX", "ASIO"); false above 1.
    static bool kindName(int index, std::string& text);
    // The label a user sees for a kind ("ALSA", "JACK"); false above 1.
    static bool kindLabel(int index, std::string& text);
    // Whether a kind opens one device for both directions (JACK) rather than
    // one of each (ALSA).
    static bool kindUsesOneDevice(int index);

    int kind() const { return kind_; }
    MPAudioBase* device() const { return device_.get(); }
    void setDeviceFactory(DeviceFactory factory) { factory_ = std::move(factory); }

private:
    std::unique_ptr<MPAudioBase> device_;
    int kind_ = -1;
    std::vector<MPAudioDeviceInfo> empty_;
    DeviceFactory factory_;
};
