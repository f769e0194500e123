#include "host/audio/MPMidi.h"

#include "host/audio/MPAudioAsio.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>
#include <poll.h>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr std::size_t kQueueBytes = 64000;

jack_client_t* openJackClient(const char* name)
{
    const std::string server = MPAudioAsio::serverName();
    jack_status_t status{};
    return jack_client_open(name, static_cast<jack_options_t>(JackNoStartServer | JackServerName),
                            &status, server.c_str());
}

bool sequencerPresent()
{
    struct stat info {};
    return stat("/dev/snd/seq", &info) == 0;
}

// Index -2, or one past the list, is the first device; none when the list is empty.
const MPMidiDeviceInfo* chosen(const std::vector<MPMidiDeviceInfo>& list, int index)
{
    if (index == -1 || list.empty())
        return nullptr;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return &list.front();
    return &list[static_cast<std::size_t>(index)];
}

} // namespace

bool MPMidiBase::open(int inDevice, int outDevice)
{
    if (open_)
        return false;
    inputDevice_ = inDevice;
    outputDevice_ = outDevice;
    if (inDevice != -1 || outDevice != -1)
        open_ = deviceOpen();
    return open_;
}

bool MPMidiBase::openByNames(const char* inName, const char* outName)
{
    enumerate(false);
    auto index = [&](const char* name, bool isInput) {
        if (name == nullptr)
            return -1;
        int i = -1;
        return findDevice(name, isInput, i) ? i : -2;
    };
    return open(index(inName, true), index(outName, false));
}

void MPMidiBase::close()
{
    if (open_)
        deviceClose();
    open_ = false;
    inputDevice_ = outputDevice_ = -1;
}

void MPMidiBase::enumerate(bool force)
{
    if (force || !enumerated_)
        deviceEnumerate();
    enumerated_ = true;
}

bool MPMidiBase::findDevice(const char* name, bool isInput, int& index)
{
    index = -1;
    if (name == nullptr)
        return false;
    const auto& list = isInput ? inputs_ : outputs_;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].name == name) {
            index = static_cast<int>(i);
            return true;
        }
    return false;
}

void MPMidiBase::receive(const uint8_t* message)
{
    if (message[0] >= 1 && message[1] != 0xF8)
        std::printf("some midi data % 2d %02X %02X %02X\n", message[0], message[1],
                    message[0] > 1 ? message[2] : 0, message[0] > 2 ? message[3] : 0);
}

MPMidiWinMultimedia::MPMidiWinMultimedia(bool useJack) : useJack_(useJack)
{
}

MPMidiWinMultimedia::~MPMidiWinMultimedia()
{
    close();
}

std::string MPMidiWinMultimedia::jackClientName() const
{
    return jack_ ? jack_get_client_name(jack_) : "";
}

void MPMidiWinMultimedia::deviceEnumerate()
{
    inputs_.clear();
    outputs_.clear();
    if (useJack_) {
        if (jack_client_t* probe = openJackClient("BorvanRigMidiProbe")) {
            const std::string own =
                jack_ ? std::string(jack_get_client_name(jack_)) + ":" : std::string("\x01");
            // Our input reads the others' MIDI outputs, and our output feeds their inputs.
            for (int direction = 0; direction < 2; ++direction) {
                const char** ports =
                    jack_get_ports(probe, nullptr, JACK_DEFAULT_MIDI_TYPE,
                                   direction == 0 ? JackPortIsOutput : JackPortIsInput);
                auto& list = direction == 0 ? inputs_ : outputs_;
                for (const char** p = ports; p && *p; ++p) {
                    if (std::strncmp(*p, own.c_str(), own.size()) == 0 ||
                        std::strncmp(*p, "BorvanRigMidiProbe:", 19) == 0)
                        continue;
                    list.push_back(
                        {std::string(*p).substr(0, 511), static_cast<int32_t>(list.size()), *p});
                }
                if (ports)
                    jack_free(ports);
            }
            jack_client_close(probe);
            return;
        }
    }
    if (!sequencerPresent())
        return;
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0)
        return;
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            const int address = id * 256 + snd_seq_port_info_get_port(port);
            const std::string name = std::string(snd_seq_port_info_get_name(port)).substr(0, 511);
            if ((caps & SND_SEQ_PORT_CAP_READ) && (caps & SND_SEQ_PORT_CAP_SUBS_READ))
                inputs_.push_back({name, address, name});
            if ((caps & SND_SEQ_PORT_CAP_WRITE) && (caps & SND_SEQ_PORT_CAP_SUBS_WRITE))
                outputs_.push_back({name, address, name});
        }
    }
    snd_seq_close(seq);
}

bool MPMidiWinMultimedia::deviceOpen()
{
    enumerate(false);
    if (useJack_ && openJack())
        return true;
    return openSequencer();
}

bool MPMidiWinMultimedia::openJack()
{
    jack_ = openJackClient("BorvanRigMidi");
    if (!jack_)
        return false;
    jackIn_ = jack_port_register(jack_, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    jackOut_ = jack_port_register(jack_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    outQueue_ = jack_ringbuffer_create(kQueueBytes);
    if (!jackIn_ || !jackOut_ || !outQueue_ ||
        jack_set_process_callback(jack_, jackProcess, this) != 0 || jack_activate(jack_) != 0) {
        deviceClose();
        return false;
    }
    if (inputDevice_ != -1)
        if (const MPMidiDeviceInfo* device = chosen(inputs_, inputDevice_))
            jack_connect(jack_, device->port.c_str(), jack_port_name(jackIn_));
    if (outputDevice_ != -1)
        if (const MPMidiDeviceInfo* device = chosen(outputs_, outputDevice_))
            jack_connect(jack_, jack_port_name(jackOut_), device->port.c_str());
    return true;
}

// Queued messages go out whole and in order at the next cycle; short input
// messages reach receive, system-exclusive input does not.
int MPMidiWinMultimedia::jackProcess(uint32_t frames, void* arg)
{
    auto* self = static_cast<MPMidiWinMultimedia*>(arg);
    void* out = jack_port_get_buffer(self->jackOut_, frames);
    jack_midi_clear_buffer(out);
    uint8_t message[256];
    while (jack_ringbuffer_read_space(self->outQueue_) >= 1) {
        uint8_t length = 0;
        jack_ringbuffer_peek(self->outQueue_, reinterpret_cast<char*>(&length), 1);
        if (jack_ringbuffer_read_space(self->outQueue_) < 1u + length)
            break;
        if (jack_midi_max_event_size(out) < length)
            break; // the next cycle
        jack_ringbuffer_read(self->outQueue_, reinterpret_cast<char*>(message), 1u + length);
        jack_midi_event_write(out, 0, message + 1, length);
    }
    void* in = jack_port_get_buffer(self->jackIn_, frames);
    const uint32_t count = jack_midi_get_event_count(in);
    for (uint32_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, in, i) != 0 || event.size == 0 || event.buffer[0] == 0xF0)
            continue;
        const uint8_t shortMessage[4] = {3, event.buffer[0],
                                         event.size > 1 ? event.buffer[1] : uint8_t{0},
                                         event.size > 2 ? event.buffer[2] : uint8_t{0}};
        self->receive(shortMessage);
    }
    return 0;
}

bool MPMidiWinMultimedia::openSequencer()
{
    if (!sequencerPresent() || snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        seq_ = nullptr;
        return false;
    }
    snd_seq_set_client_name(seq_, "BorvanRig");
    seqPort_ =
        snd_seq_create_simple_port(seq_, "midi",
                                   SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ |
                                       SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (seqPort_ < 0) {
        deviceClose();
        return false;
    }
    if (inputDevice_ != -1)
        if (const MPMidiDeviceInfo* device = chosen(inputs_, inputDevice_))
            snd_seq_connect_from(seq_, seqPort_, device->identifier / 256,
                                 device->identifier % 256);
    if (outputDevice_ != -1)
        if (const MPMidiDeviceInfo* device = chosen(outputs_, outputDevice_))
            snd_seq_connect_to(seq_, seqPort_, device->identifier / 256, device->identifier % 256);
    if (inputDevice_ != -1) {
        stopInput_.store(false);
        inputThread_ = std::thread([this] { sequencerInput(); });
    }
    return true;
}

void MPMidiWinMultimedia::sequencerInput()
{
    snd_midi_event_t* parser = nullptr;
    if (snd_midi_event_new(256, &parser) < 0)
        return;
    snd_midi_event_no_status(parser, 1);
    std::vector<pollfd> fds(static_cast<std::size_t>(snd_seq_poll_descriptors_count(seq_, POLLIN)));
    snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
    while (!stopInput_.load()) {
        // Wakes now and then to see the stop flag.
        if (poll(fds.data(), fds.size(), 100) <= 0)
            continue;
        snd_seq_event_t* event = nullptr;
        while (snd_seq_event_input(seq_, &event) >= 0 && event) {
            uint8_t bytes[256];
            const long n = snd_midi_event_decode(parser, bytes, sizeof bytes, event);
            if (n > 0 && n <= 3 && bytes[0] != 0xF0) {
                const uint8_t message[4] = {3, bytes[0], n > 1 ? bytes[1] : uint8_t{0},
                                            n > 2 ? bytes[2] : uint8_t{0}};
                receive(message);
            }
            if (snd_seq_event_input_pending(seq_, 0) <= 0)
                break;
        }
    }
    snd_midi_event_free(parser);
}

void MPMidiWinMultimedia::send(const uint8_t* message)
{
    if (!open_ || message == nullptr || message[0] == 0)
        return;
    const std::size_t length = message[0];
    if (jack_ && outQueue_) {
        if (jack_ringbuffer_write_space(outQueue_) >= 1 + length)
            jack_ringbuffer_write(outQueue_, reinterpret_cast<const char*>(message), 1 + length);
        return;
    }
    if (seq_ && outputDevice_ != -1) {
        snd_midi_event_t* encoder = nullptr;
        if (snd_midi_event_new(length, &encoder) < 0)
            return;
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        if (snd_midi_event_encode(encoder, message + 1, static_cast<long>(length), &event) > 0 &&
            event.type != SND_SEQ_EVENT_NONE) {
            snd_seq_ev_set_source(&event, seqPort_);
            snd_seq_ev_set_subs(&event);
            snd_seq_ev_set_direct(&event);
            snd_seq_event_output_direct(seq_, &event);
        }
        snd_midi_event_free(encoder);
    }
}

void MPMidiWinMultimedia::deviceClose()
{
    if (jack_) {
        jack_client_close(jack_);
        jack_ = nullptr;
        jackIn_ = jackOut_ = nullptr;
    }
    if (outQueue_) {
        jack_ringbuffer_free(outQueue_);
        outQueue_ = nullptr;
    }
    stopInput_.store(true);
    if (inputThread_.joinable())
        inputThread_.join();
    if (seq_) {
        snd_seq_close(seq_);
        seq_ = nullptr;
    }
    seqPort_ = -1;
}
