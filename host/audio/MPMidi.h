#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <jack/ringbuffer.h>
#include <jack/types.h>

typedef struct _snd_seq snd_seq_t;

// A MIDI message as send and receive take it: byte 0 counts the bytes that
// follow (1 to 255), status first.
struct MPMidiDeviceInfo {
    std::string name; // at most 511 characters
    int32_t identifier = 0;
    std::string port; // the back end's name of the port
};

class MPMidiInterface {
public:
    virtual ~MPMidiInterface() = default;
    virtual bool open(int inDevice, int outDevice) = 0;
    virtual bool openByNames(const char* inName, const char* outName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void enumerate(bool force) = 0;
    virtual const std::vector<MPMidiDeviceInfo>& outputDevices() const = 0;
    virtual const std::vector<MPMidiDeviceInfo>& inputDevices() const = 0;
    virtual bool findDevice(const char* name, bool isInput, int& index) = 0;
    virtual void send(const uint8_t* message) = 0;
    // Runs on the back end's input thread.
    virtual void receive(const uint8_t* message) = 0;
};

// Device lists and open/close bookkeeping; -1 none, -2 the first device.
class MPMidiBase : public MPMidiInterface {
public:
    ~MPMidiBase() override = default;
    bool open(int inDevice, int outDevice) override;
    bool openByNames(const char* inName, const char* outName) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void enumerate(bool force) override;
    const std::vector<MPMidiDeviceInfo>& outputDevices() const override { return outputs_; }
    const std::vector<MPMidiDeviceInfo>& inputDevices() const override { return inputs_; }
    bool findDevice(const char* name, bool isInput, int& index) override;
    // Writes short messages to standard output, but not the timing clock.
    void receive(const uint8_t* message) override;

protected:
    virtual bool deviceOpen() = 0;
    virtual void deviceClose() = 0;
    virtual void deviceEnumerate() = 0;

    std::vector<MPMidiDeviceInfo> outputs_;
    std::vector<MPMidiDeviceInfo> inputs_;
    int inputDevice_ = -1;
    int outputDevice_ = -1;
    bool open_ = false;
    bool enumerated_ = false;
};

// One MIDI input and one MIDI output. With the JACK technology chosen and a
// server running, a JACK client with one MIDI port each way (devices: the
// other clients' MIDI ports); otherwise the ALSA sequencer (devices: its
// ports). Short input messages reach receive as {3, status, data 1, data 2};
// system-exclusive input is not delivered.
class MPMidiWinMultimedia : public MPMidiBase {
public:
    explicit MPMidiWinMultimedia(bool useJack = false);
    ~MPMidiWinMultimedia() override;
    void send(const uint8_t* message) override;
    // Our JACK client's name while open on JACK ("" otherwise).
    std::string jackClientName() const;
    bool usingJack() const { return jack_ != nullptr; }

protected:
    bool deviceOpen() override;
    void deviceClose() override;
    void deviceEnumerate() override;

private:
    bool openJack();
    bool openSequencer();
    static int jackProcess(uint32_t frames, void* arg);
    void sequencerInput();

    bool useJack_;
    jack_client_t* jack_ = nullptr;
    jack_port_t* jackIn_ = nullptr;
    jack_port_t* jackOut_ = nullptr;
    jack_ringbuffer_t* outQueue_ = nullptr;
    snd_seq_t* seq_ = nullptr;
    int seqPort_ = -1;
    std::thread inputThread_;
    std::atomic<bool> stopInput_{false};
};
