#pragma once

#include "host/audio/MPAudioBase.h"

#include <jack/types.h>

#include <atomic>
#include <string>

// The back end in the low-latency driver role, over a JACK server. The one
// "driver" is the server (JACK_DEFAULT_SERVER, else "default"), listed in both
// device lists; its channels are the server's physical ports (capture ports
// for inputs, playback ports for outputs). The server imposes the sample rate
// and the frames per buffer (its period). Only one such device may be open in
// the process.
class MPAudioAsio : public MPAudioBase {
public:
    MPAudioAsio();
    ~MPAudioAsio() override;

    bool getCapabilities(int device, bool isInput, std::vector<int>* bufferSizes,
                         std::vector<std::string>* channelNames, std::vector<int>* sampleRates,
                         int* hasPanel, int* preferredFrames, int* reserved, int* latency) override;
    // The one driver answers to any name: settings that name an interface's
    // own driver (the built-in first-run presets, or settings carried over
    // from a machine with another interface) open the server.
    bool findDevice(const char* name, bool isInput, int& index) override;
    // JACK servers have no control panel of their own to show.
    bool hasControlPanel() override { return false; }
    bool showControlPanel(int, bool) override { return false; }

    // The server the back end talks to.
    static std::string serverName();
    // Our client's name on the server while open ("" otherwise).
    std::string clientName() const;
    // The name of the port of input (output) group g while open.
    std::string inputPortName(int group) const;
    std::string outputPortName(int group) const;
    int bufferSwitches() const { return switches_.load(); }

protected:
    bool deviceOpen() override;
    void deviceClose() override;
    bool deviceStart() override;
    void deviceStop() override;
    void deviceEnumerate() override;

private:
    static int processCallback(uint32_t frames, void* arg);
    static int bufferSizeCallback(uint32_t frames, void* arg);
    static void shutdownCallback(jack_status_t code, const char* reason, void* arg);
    void resetRequest();

    jack_client_t* client_ = nullptr;
    jack_port_t* inputPorts_[kMPAudioMaxChannels] = {};
    jack_port_t* outputPorts_[kMPAudioMaxChannels] = {};
    std::string inputConnections_[kMPAudioMaxChannels];
    std::string outputConnections_[kMPAudioMaxChannels];
    int inputPortCount_ = 0;
    int outputPortCount_ = 0;
    std::atomic<bool> stopped_{true};
    std::atomic<bool> serverGone_{false};
    std::atomic<int> switches_{0};
    std::atomic<uint32_t> period_{0};
};
