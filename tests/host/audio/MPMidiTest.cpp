#include "host/audio/MPMidi.h"
#include "tests/host/audio/JackServer.h"
#include "tests/host/audio/Waiting.h"

#include <jack/midiport.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <sys/stat.h>
#include <vector>

namespace {

// Keeps what receive gets in a fixed store (receive runs on the server's thread).
class RecordingMidi : public MPMidiWinMultimedia {
public:
    explicit RecordingMidi(bool jack) : MPMidiWinMultimedia(jack) {}
    std::array<std::array<uint8_t, 4>, 64> received{};
    std::atomic<int> count{0};
    void receive(const uint8_t* message) override
    {
        const int n = count.load(std::memory_order_relaxed);
        if (n < 64) {
            std::copy(message, message + 4, received[static_cast<std::size_t>(n)].begin());
            count.store(n + 1, std::memory_order_release);
        }
    }
};

// A client with one MIDI input port recording whole events.
class MidiRecorder {
public:
    explicit MidiRecorder(const test::JackServer& server)
    {
        client_ = server.openClient("recorder");
        port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        jack_set_process_callback(client_, &MidiRecorder::process, this);
        jack_activate(client_);
    }
    ~MidiRecorder() { jack_client_close(client_); }
    std::string port(const char* name) const
    {
        return std::string(jack_get_client_name(client_)) + ":" + name;
    }
    jack_client_t* client() const { return client_; }
    std::array<std::vector<uint8_t>, 8> events;
    std::atomic<int> count{0};

private:
    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<MidiRecorder*>(arg);
        jack_midi_clear_buffer(jack_port_get_buffer(self->out_, frames));
        void* in = jack_port_get_buffer(self->port_, frames);
        for (uint32_t i = 0; i < jack_midi_get_event_count(in); ++i) {
            jack_midi_event_t event;
            const int n = self->count.load(std::memory_order_relaxed);
            if (jack_midi_event_get(&event, in, i) == 0 && n < 8) {
                self->events[static_cast<std::size_t>(n)].assign(event.buffer,
                                                                 event.buffer + event.size);
                self->count.store(n + 1, std::memory_order_release);
            }
        }
        return 0;
    }
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_port_t* out_ = nullptr;
};

TEST(MPMidi, openWithNoDevicesStaysClosed)
{
    MPMidiWinMultimedia midi;
    EXPECT_FALSE(midi.open(-1, -1));
    EXPECT_FALSE(midi.isOpen());
}

TEST(MPMidi, theDefaultReceivePrintsANoteButNotTheTimingClock)
{
    MPMidiWinMultimedia midi;
    testing::internal::CaptureStdout();
    const uint8_t note[4] = {3, 0x90, 60, 100};
    const uint8_t clock[4] = {1, 0xF8, 0, 0};
    midi.receive(note);
    midi.receive(clock);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "some midi data  3 90 3C 64\n");
}

TEST(MPMidi, theSequencerFailsCleanlyWithoutItsDevice)
{
    struct stat info {};
    if (stat("/dev/snd/seq", &info) == 0)
        GTEST_SKIP() << "this machine has a sequencer device";
    MPMidiWinMultimedia midi(false);
    midi.enumerate(false);
    EXPECT_TRUE(midi.inputDevices().empty());
    EXPECT_FALSE(midi.open(-2, -2));
    EXPECT_FALSE(midi.isOpen());
    const uint8_t note[4] = {3, 0x90, 60, 100};
    midi.send(note);
    midi.close();
}

TEST(MPMidi, overJackNotesArriveWholeAndSystemExclusiveAsOneMessageInOrder)
{
    REQUIRE_JACK_SERVER(test::JackServer::shared());
    MidiRecorder recorder(test::JackServer::shared());
    RecordingMidi midi(true);
    ASSERT_TRUE(midi.open(-2, -2));
    ASSERT_TRUE(midi.usingJack());
    const std::string self = midi.jackClientName();
    // Our output to our own input; the open has connected it to the first
    // device, the recorder's input.
    ASSERT_EQ(
        jack_connect(recorder.client(), (self + ":midi_out").c_str(), (self + ":midi_in").c_str()),
        0);
    jack_port_t* recorderIn = jack_port_by_name(recorder.client(), recorder.port("in").c_str());
    // The server publishes a new connection to other clients' views a moment
    // later on a busy machine.
    ASSERT_TRUE(test::waitUntil(
        [&] { return jack_port_connected_to(recorderIn, (self + ":midi_out").c_str()) != 0; }));
    const uint8_t note[4] = {3, 0x90, 60, 100};
    std::vector<uint8_t> sysex(201);
    sysex[0] = 200;
    sysex[1] = 0xF0;
    for (int i = 2; i < 200; ++i)
        sysex[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i % 128);
    sysex[200] = 0xF7;
    midi.send(note);
    midi.send(sysex.data());
    ASSERT_TRUE(
        test::waitUntil([&] { return recorder.count.load(std::memory_order_acquire) >= 2; }));
    ASSERT_TRUE(test::waitUntil([&] { return midi.count.load(std::memory_order_acquire) >= 1; }));
    EXPECT_EQ(recorder.events[0], (std::vector<uint8_t>{0x90, 60, 100}));
    EXPECT_EQ(recorder.events[1], std::vector<uint8_t>(sysex.begin() + 1, sysex.end()));
    EXPECT_EQ(midi.received[0], (std::array<uint8_t, 4>{3, 0x90, 60, 100}));
    midi.close();
    EXPECT_EQ(midi.count.load(), 1) << "system-exclusive input is not delivered";
}

TEST(MPMidi, anUnknownDeviceNameOpensTheFirstDevice)
{
    REQUIRE_JACK_SERVER(test::JackServer::shared());
    MidiRecorder recorder(test::JackServer::shared());
    MPMidiWinMultimedia midi(true);
    ASSERT_TRUE(midi.openByNames("no such device", nullptr));
    ASSERT_FALSE(midi.inputDevices().empty());
    EXPECT_EQ(midi.inputDevices()[0].name, recorder.port("out"));
    jack_port_t* out = jack_port_by_name(recorder.client(), recorder.port("out").c_str());
    EXPECT_TRUE(test::waitUntil([&] {
        return jack_port_connected_to(out, (midi.jackClientName() + ":midi_in").c_str()) != 0;
    }));
    midi.close();
}

} // namespace
