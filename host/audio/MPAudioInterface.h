#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The one interface through which the standalone host reaches every audio
// device, whatever the technology behind it.

constexpr int kMPAudioMaxChannels = 32;

// One logical channel of the configuration: whether it is used and which
// device channel it reads or feeds.
struct MPAudioChannelEntry {
    bool enabled = false;
    int32_t deviceChannel = 0;
};

// Copied whole into the device at open.
struct MPAudioConfig {
    int32_t inputDevice = -1;  // index into the input list; -1 none; -2 the first or default
    int32_t outputDevice = -1; // the same for outputs
    int32_t sampleRate = 44100;
    int32_t bufferSize = 1024;      // frames per callback
    int32_t inputChannelCount = 0;  // least number of logical inputs; capped at 32 at open
    int32_t outputChannelCount = 0; // least number of logical outputs; capped at 32 at open
    MPAudioChannelEntry inputChannels[kMPAudioMaxChannels];
    MPAudioChannelEntry outputChannels[kMPAudioMaxChannels];
};

// One entry of a device list.
struct MPAudioDeviceInfo {
    std::string name; // at most 511 characters
    int32_t lowestSampleRate = 0;
    int32_t highestSampleRate = 0;
    int32_t channelCount = 0;
    std::string identifier; // the back end's name for the device (PCM name, JACK server)
    int32_t driverIndex = 0;
};

// What openByNames takes: the two device names (null for none) and the values
// of openChannels.
struct MPAudioNamedSettings {
    const char* inputName = nullptr;
    const char* outputName = nullptr;
    int32_t bufferFrames = 1024;
    int32_t inLeft = -1;
    int32_t inRight = -1;
    int32_t outLeft = -1;
    int32_t outRight = -1;
    int32_t sampleRate = 44100;
};

class MPAudioInterface {
public:
    virtual bool open(const MPAudioConfig& config) = 0;
    virtual bool openChannels(int inDevice, int outDevice, int bufferFrames, int inLeft,
                              int inRight, int outLeft, int outRight, int sampleRate) = 0;
    virtual bool openByNames(const MPAudioNamedSettings& settings) = 0;
    virtual bool openConfigByNames(const char* inName, const char* outName,
                                   MPAudioConfig& config) = 0;
    virtual void close() = 0;
    virtual bool start() = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    virtual bool isOpen() const = 0;
    // 64 bits: at 48 kHz a 32-bit count would overflow after about 12 hours.
    virtual int64_t framesProcessed() const = 0;
    virtual int bufferFrames() const = 0;
    virtual void enumerate(bool force) = 0;
    virtual const std::vector<MPAudioDeviceInfo>& outputDevices() const = 0;
    virtual const std::vector<MPAudioDeviceInfo>& inputDevices() const = 0;
    virtual bool findDevice(const char* name, bool isInput, int& index) = 0;
    // Any of the out-pointers may be null.
    virtual bool getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                                 std::vector<std::string>* channelNames,
                                 std::vector<int>* sampleRates, int* hasPanel, int* preferredFrames,
                                 int* reserved, int* latency) = 0;
    virtual bool findChannel(int device, bool isInput, const char* name, int& index) = 0;
    virtual bool hasControlPanel() = 0;
    virtual bool showControlPanel(int device, bool isInput) = 0;
    // Code 1: the device asks to be reset (it stopped delivering). May come
    // from a device thread.
    virtual void notify(int code) = 0;
    // Runs on the device's real-time thread.
    virtual void process(float** inputs, int inputCount, float** outputs, int outputCount,
                         int frames) = 0;
    virtual ~MPAudioInterface() = default;
    virtual void setWindow(void* window) = 0;
    virtual void setClient(MPAudioInterface* client) = 0;
};
