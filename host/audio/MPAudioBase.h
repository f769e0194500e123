#pragma once

#include "host/audio/MPAudioInterface.h"

#include <atomic>
#include <memory>

// The device engine every back end shares: configuration, the mapping of
// logical channels onto device channels, the buffers, the hand-over to the
// client and the open/start/stop bookkeeping. A back end fills the input
// device buffers, calls runCallback on its audio thread and reads the output
// device buffers.
class MPAudioBase : public MPAudioInterface {
public:
    MPAudioBase();
    ~MPAudioBase() override;

    bool open(const MPAudioConfig& config) override;
    bool openChannels(int inDevice, int outDevice, int bufferFrames, int inLeft, int inRight,
                      int outLeft, int outRight, int sampleRate) override;
    bool openByNames(const MPAudioNamedSettings& settings) override;
    bool openConfigByNames(const char* inName, const char* outName, MPAudioConfig& config) override;
    void close() override;
    bool start() override;
    void stop() override;
    bool isRunning() const override { return running_.load(); }
    bool isOpen() const override { return open_.load(); }
    int64_t framesProcessed() const override
    {
        return framesProcessed_.load(std::memory_order_relaxed);
    }
    int bufferFrames() const override { return framesPerBuffer_; }
    void enumerate(bool force) override;
    const std::vector<MPAudioDeviceInfo>& outputDevices() const override { return outputs_; }
    const std::vector<MPAudioDeviceInfo>& inputDevices() const override { return inputs_; }
    bool findDevice(const char* name, bool isInput, int& index) override;
    bool getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                         std::vector<std::string>* channelNames, std::vector<int>* sampleRates,
                         int* hasPanel, int* preferredFrames, int* reserved, int* latency) override;
    bool findChannel(int device, bool isInput, const char* name, int& index) override;
    bool hasControlPanel() override { return false; }
    bool showControlPanel(int, bool) override { return false; }
    void notify(int code) override;
    void process(float** inputs, int inputCount, float** outputs, int outputCount,
                 int frames) override;
    void setWindow(void* window) override { window_ = window; }
    void setClient(MPAudioInterface* client) override { client_ = client; }

    // The configuration of the last open.
    const MPAudioConfig& config() const { return config_; }
    int logicalInputCount() const { return inputCount_; }
    int logicalOutputCount() const { return outputCount_; }

protected:
    virtual bool deviceOpen() = 0;
    virtual void deviceClose() = 0;
    virtual bool deviceStart() = 0;
    virtual void deviceStop() = 0;
    virtual void deviceEnumerate() = 0;

    // One callback of frames (at most bufferFrames()); audio thread, no allocation.
    void runCallback(int frames);

    // The device channel groups: the first group of a direction is the back
    // end's first device channel, the second its second, and so on.
    int inputGroupCount() const { return inputGroupCount_; }
    int outputGroupCount() const { return outputGroupCount_; }
    int inputGroupChannel(int group) const { return inputGroups_[group].deviceChannel; }
    int outputGroupChannel(int group) const { return outputGroups_[group].deviceChannel; }
    float* inputGroupBuffer(int group) const { return inputGroups_[group].device; }
    float* outputGroupBuffer(int group) const { return outputGroups_[group].device; }

    MPAudioConfig config_;
    std::vector<MPAudioDeviceInfo> outputs_;
    std::vector<MPAudioDeviceInfo> inputs_;
    std::atomic<bool> running_{false};
    std::atomic<bool> open_{false};
    int framesPerBuffer_ = 0; // the back end may impose its own in deviceOpen
    std::atomic<int64_t> framesProcessed_{0};
    void* window_ = nullptr;

private:
    struct Group {
        int deviceChannel = 0;
        int firstChannel = 0;
        int furtherCount = 0;
        int further[kMPAudioMaxChannels] = {};
        float* furtherBuffers[kMPAudioMaxChannels] = {};
        float* device = nullptr;
    };

    void buildGroups();
    void allocateBuffers();
    void releaseBuffers();
    int nameToIndex(const char* name, bool isInput);
    void writeTestSignal(float** outputs, int outputCount, int frames);

    bool inputShared_ = false;
    bool outputPostProcessing_ = false;
    int inputCount_ = 0;
    int outputCount_ = 0;
    std::vector<std::unique_ptr<float[]>> storage_;
    float* inputBuffers_[kMPAudioMaxChannels] = {};
    float* outputBuffers_[kMPAudioMaxChannels] = {};
    Group inputGroups_[kMPAudioMaxChannels];
    Group outputGroups_[kMPAudioMaxChannels];
    int inputGroupCount_ = 0;
    int outputGroupCount_ = 0;
    bool enumerated_ = false;
    MPAudioInterface* client_ = nullptr;
};
