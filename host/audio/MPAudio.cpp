#include "host/audio/MPAudio.h"

#include "host/audio/MPAudioAsio.h"
#include "host/audio/MPAudioDirectX.h"

#include <cstring>

namespace {

constexpr char kKindNames[2][32] = {"DirectX", "ASIO"};
constexpr char kKindLabels[2][32] = {"ALSA", "JACK"};

bool equalIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(*a) != lower(*b))
            return false;
    }
    return *a == *b;
}

} // namespace

MPAudio::~MPAudio()
{
    destroyDevice();
}

bool MPAudio::createDevice(int kindIndex)
{
    destroyDevice();
    if (kindIndex < 0 || kindIndex >= 2)
        return false;
    if (factory_)
        device_ = factory_(kindIndex);
    else if (kindIndex == 0)
        device_ = std::make_unique<MPAudioDirectX>();
    else
        device_ = std::make_unique<MPAudioAsio>();
    if (!device_)
        return false;
    kind_ = kindIndex;
    device_->setClient(this);
    return true;
}

bool MPAudio::createDeviceByName(const char* name)
{
    if (name == nullptr)
        return false;
    for (int i = 0; i < 2; ++i)
        if (equalIgnoringAsciiCase(name, kKindNames[i]))
            return createDevice(i);
    return false;
}

void MPAudio::destroyDevice()
{
    if (device_) {
        device_->close();
        device_.reset();
    }
    kind_ = -1;
}

bool MPAudio::kindName(int index, std::string& text)
{
    if (index < 0 || index > 1)
        return false;
    text = kKindNames[index];
    return true;
}

bool MPAudio::kindLabel(int index, std::string& text)
{
    if (index < 0 || index > 1)
        return false;
    text = kKindLabels[index];
    return true;
}

bool MPAudio::kindUsesOneDevice(int index)
{
    return index == 1;
}

bool MPAudio::open(const MPAudioConfig& config)
{
    return device_ && device_->open(config);
}

bool MPAudio::openChannels(int inDevice, int outDevice, int bufferFrames, int inLeft, int inRight,
                           int outLeft, int outRight, int sampleRate)
{
    return device_ && device_->openChannels(inDevice, outDevice, bufferFrames, inLeft, inRight,
                                            outLeft, outRight, sampleRate);
}

bool MPAudio::openByNames(const MPAudioNamedSettings& settings)
{
    return device_ && device_->openByNames(settings);
}

bool MPAudio::openConfigByNames(const char* inName, const char* outName, MPAudioConfig& config)
{
    return device_ && device_->openConfigByNames(inName, outName, config);
}

void MPAudio::close()
{
    if (device_)
        device_->close();
}

bool MPAudio::start()
{
    return device_ && device_->start();
}

void MPAudio::stop()
{
    if (device_)
        device_->stop();
}

bool MPAudio::isRunning() const
{
    return device_ && device_->isRunning();
}

bool MPAudio::isOpen() const
{
    return device_ && device_->isOpen();
}

int64_t MPAudio::framesProcessed() const
{
    return device_ ? device_->framesProcessed() : 0;
}

int MPAudio::bufferFrames() const
{
    return device_ ? device_->bufferFrames() : 0;
}

void MPAudio::enumerate(bool force)
{
    if (device_)
        device_->enumerate(force);
}

const std::vector<MPAudioDeviceInfo>& MPAudio::outputDevices() const
{
    return device_ ? device_->outputDevices() : empty_;
}

const std::vector<MPAudioDeviceInfo>& MPAudio::inputDevices() const
{
    return device_ ? device_->inputDevices() : empty_;
}

bool MPAudio::findDevice(const char* name, bool isInput, int& index)
{
    index = -1;
    return device_ && device_->findDevice(name, isInput, index);
}

bool MPAudio::getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                              std::vector<std::string>* channelNames, std::vector<int>* sampleRates,
                              int* hasPanel, int* preferredFrames, int* reserved, int* latency)
{
    return device_ &&
           device_->getCapabilities(device, isInput, bufferSizes, channelNames, sampleRates,
                                    hasPanel, preferredFrames, reserved, latency);
}

bool MPAudio::findChannel(int device, bool isInput, const char* name, int& index)
{
    index = -1;
    return device_ && device_->findChannel(device, isInput, name, index);
}

bool MPAudio::hasControlPanel()
{
    return device_ && device_->hasControlPanel();
}

bool MPAudio::showControlPanel(int device, bool isInput)
{
    return device_ && device_->showControlPanel(device, isInput);
}

void MPAudio::setWindow(void* window)
{
    if (device_)
        device_->setWindow(window);
}
