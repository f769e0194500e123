#include "host/audio/MPAudioBase.h"

#include <algorithm>
#include <cstring>

MPAudioBase::MPAudioBase() = default;

// Back ends close in their own destructors, while their hooks still exist.
MPAudioBase::~MPAudioBase() = default;

bool MPAudioBase::open(const MPAudioConfig& config)
{
    if (open_.load())
        return false;
    config_ = config;
    framesPerBuffer_ = config_.bufferSize;
    config_.inputChannelCount = std::clamp(config_.inputChannelCount, 0, kMPAudioMaxChannels);
    config_.outputChannelCount = std::clamp(config_.outputChannelCount, 0, kMPAudioMaxChannels);
    enumerate(false);
    buildGroups();
    if (!deviceOpen())
        return false;
    if (framesPerBuffer_ <= 0) {
        deviceClose();
        return false;
    }
    allocateBuffers();
    open_.store(true);
    return true;
}

bool MPAudioBase::openChannels(int inDevice, int outDevice, int bufferFrames, int inLeft,
                               int inRight, int outLeft, int outRight, int sampleRate)
{
    MPAudioConfig config;
    config.inputDevice = inDevice;
    config.outputDevice = outDevice;
    config.sampleRate = sampleRate;
    config.bufferSize = bufferFrames;
    const int channels[4] = {inLeft, inRight, outLeft, outRight};
    for (int i = 0; i < 4; ++i) {
        if (channels[i] == -1)
            continue;
        MPAudioChannelEntry& entry = i < 2 ? config.inputChannels[i] : config.outputChannels[i - 2];
        entry.enabled = true;
        entry.deviceChannel = channels[i];
    }
    return open(config);
}

int MPAudioBase::nameToIndex(const char* name, bool isInput)
{
    if (name == nullptr)
        return -1;
    int index = -1;
    return findDevice(name, isInput, index) ? index : -2;
}

bool MPAudioBase::openByNames(const MPAudioNamedSettings& s)
{
    const int in = nameToIndex(s.inputName, true);
    const int out = nameToIndex(s.outputName, false);
    return openChannels(in, out, s.bufferFrames, s.inLeft, s.inRight, s.outLeft, s.outRight,
                        s.sampleRate);
}

bool MPAudioBase::openConfigByNames(const char* inName, const char* outName, MPAudioConfig& config)
{
    config.inputDevice = nameToIndex(inName, true);
    config.outputDevice = nameToIndex(outName, false);
    return open(config);
}

void MPAudioBase::close()
{
    if (!open_.load())
        return;
    stop();
    deviceClose();
    releaseBuffers();
    open_.store(false);
}

bool MPAudioBase::start()
{
    if (open_.load() && !running_.load())
        running_.store(deviceStart());
    return running_.load();
}

void MPAudioBase::stop()
{
    if (!running_.load())
        return;
    deviceStop();
    running_.store(false);
}

void MPAudioBase::enumerate(bool force)
{
    if (force || !enumerated_)
        deviceEnumerate();
    enumerated_ = true;
}

bool MPAudioBase::findDevice(const char* name, bool isInput, int& index)
{
    enumerate(false);
    index = -1;
    if (name == nullptr)
        return false;
    const auto& list = isInput ? inputs_ : outputs_;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].name == name) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

bool MPAudioBase::getCapabilities(int, bool, std::vector<int>* bufferSizes,
                                  std::vector<std::string>* channelNames,
                                  std::vector<int>* sampleRates, int* hasPanel,
                                  int* preferredFrames, int* reserved, int* latency)
{
    if (bufferSizes) {
        bufferSizes->clear();
        for (int i = 0; i <= 9; ++i)
            bufferSizes->push_back(128 << i);
    }
    if (channelNames)
        *channelNames = {"Left", "Right"};
    if (sampleRates)
        *sampleRates = {22050, 44100, 48000, 88200, 96000};
    for (int* value : {hasPanel, preferredFrames, reserved, latency})
        if (value)
            *value = 0;
    return true;
}

bool MPAudioBase::findChannel(int device, bool isInput, const char* name, int& index)
{
    index = -1;
    std::vector<std::string> names;
    if (name == nullptr || !getCapabilities(device, isInput, nullptr, &names, nullptr, nullptr,
                                            nullptr, nullptr, nullptr))
        return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void MPAudioBase::notify(int code)
{
    if (client_)
        client_->notify(code);
}

void MPAudioBase::process(float** inputs, int inputCount, float** outputs, int outputCount,
                          int frames)
{
    if (client_)
        client_->process(inputs, inputCount, outputs, outputCount, frames);
    else
        writeTestSignal(outputs, outputCount, frames);
}

// A square wave on channel 0 (half period 200 frames) and, on channel 1, one
// of half period 210 frames in the first half of each block, so that a user
// can tell the channels apart by ear. The phase follows the frames counter.
void MPAudioBase::writeTestSignal(float** outputs, int outputCount, int frames)
{
    const int n = frames > 0 ? frames : framesPerBuffer_;
    const int64_t t = framesProcessed_.load(std::memory_order_relaxed);
    if (outputCount > 0 && outputs[0]) {
        for (int k = 0; k < n; ++k)
            outputs[0][k] = ((t + k) / 200) % 2 == 1 ? 1.0f : -1.0f;
    }
    if (outputCount > 1 && outputs[1]) {
        for (int k = 0; k < n; ++k)
            outputs[1][k] = k < n / 2 ? (((t + k) / 210) % 2 == 1 ? 1.0f : -1.0f) : 0.0f;
    }
}

void MPAudioBase::buildGroups()
{
    auto build = [](const MPAudioChannelEntry* entries, int count, Group* groups, int& groupCount,
                    bool& shared) {
        groupCount = 0;
        shared = false;
        int logical = count;
        for (int i = 0; i < kMPAudioMaxChannels; ++i) {
            if (!entries[i].enabled)
                continue;
            Group* found = nullptr;
            for (int g = 0; g < groupCount; ++g)
                if (groups[g].deviceChannel == entries[i].deviceChannel)
                    found = &groups[g];
            if (found) {
                found->further[found->furtherCount++] = i;
                shared = true;
            } else {
                Group& group = groups[groupCount++];
                group = Group{};
                group.deviceChannel = entries[i].deviceChannel;
                group.firstChannel = i;
            }
            logical = std::max(logical, i + 1);
        }
        return logical;
    };
    bool outputShared = false;
    inputCount_ = build(config_.inputChannels, config_.inputChannelCount, inputGroups_,
                        inputGroupCount_, inputShared_);
    outputCount_ = build(config_.outputChannels, config_.outputChannelCount, outputGroups_,
                         outputGroupCount_, outputShared);
    outputPostProcessing_ = true;
}

void MPAudioBase::allocateBuffers()
{
    const auto frames = static_cast<std::size_t>(framesPerBuffer_);
    auto zeroed = [&]() {
        storage_.push_back(std::make_unique<float[]>(frames));
        return storage_.back().get();
    };
    for (int i = 0; i < inputCount_; ++i)
        inputBuffers_[i] = zeroed();
    for (int i = 0; i < outputCount_; ++i)
        outputBuffers_[i] = zeroed();
    for (int g = 0; g < inputGroupCount_; ++g) {
        Group& group = inputGroups_[g];
        group.device = inputBuffers_[group.firstChannel];
        for (int f = 0; f < group.furtherCount; ++f)
            group.furtherBuffers[f] = inputBuffers_[group.further[f]];
    }
    for (int g = 0; g < outputGroupCount_; ++g) {
        Group& group = outputGroups_[g];
        for (int f = 0; f < group.furtherCount; ++f)
            group.furtherBuffers[f] = outputBuffers_[group.further[f]];
        // A shared device channel gets a buffer of its own for the sum, so
        // that the client's buffers stay as the client wrote them.
        group.device = group.furtherCount > 0 ? zeroed() : outputBuffers_[group.firstChannel];
    }
}

void MPAudioBase::releaseBuffers()
{
    storage_.clear();
    std::fill(std::begin(inputBuffers_), std::end(inputBuffers_), nullptr);
    std::fill(std::begin(outputBuffers_), std::end(outputBuffers_), nullptr);
    for (Group& group : inputGroups_)
        group.device = nullptr;
    for (Group& group : outputGroups_)
        group.device = nullptr;
}

void MPAudioBase::runCallback(int frames)
{
    frames = std::clamp(frames, 0, framesPerBuffer_);
    const auto bytes = static_cast<std::size_t>(frames) * sizeof(float);
    if (inputShared_) {
        for (int g = 0; g < inputGroupCount_; ++g) {
            const Group& group = inputGroups_[g];
            for (int f = 0; f < group.furtherCount; ++f)
                std::memcpy(group.furtherBuffers[f], group.device, bytes);
        }
    }
    process(inputBuffers_, inputCount_, outputBuffers_, outputCount_, frames);
    framesProcessed_.fetch_add(frames, std::memory_order_relaxed);
    if (!outputPostProcessing_)
        return;
    for (int g = 0; g < outputGroupCount_; ++g) {
        const Group& group = outputGroups_[g];
        float* device = group.device;
        if (group.furtherCount > 0) {
            std::memcpy(device, outputBuffers_[group.firstChannel], bytes);
            for (int f = 0; f < group.furtherCount; ++f)
                for (int k = 0; k < frames; ++k)
                    device[k] += group.furtherBuffers[f][k];
        }
        // A NaN from the client becomes silence rather than reaching a device.
        for (int k = 0; k < frames; ++k) {
            const float x = device[k];
            device[k] = x > 1.0f ? 1.0f : (x < -1.0f ? -1.0f : (x == x ? x : 0.0f));
        }
    }
}
