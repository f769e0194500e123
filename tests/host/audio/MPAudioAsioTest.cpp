#include "host/audio/MPAudioAsio.h"
#include "host/audio/MPAudio.h"
#include "tests/host/audio/JackServer.h"
#include "tests/host/audio/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <vector>

namespace {

// A ramp that repeats every 8192 samples, exact in float, so that a receiver
// can tell a sample-for-sample stream from one with gaps.
float ramp(int64_t t)
{
    return static_cast<float>(t % 8192 + 1) / 8192.0f;
}

bool followsRamp(float previous, float next)
{
    return next == (previous == 1.0f ? 1.0f / 8192.0f : previous + 1.0f / 8192.0f);
}

constexpr int kRecorded = 48000;

// The host's side: writes the ramp to logical output 0 and records logical
// input 0 into a fixed store.
class JackClient : public MPAudio {
public:
    JackClient() { createDevice(1); }
    MPAudioAsio& jack() { return *static_cast<MPAudioAsio*>(device()); }

    std::atomic<int> calls{0};
    std::atomic<int> lastFrames{0};
    std::atomic<int> notifications{0};
    std::vector<float> input = std::vector<float>(kRecorded);
    std::atomic<int> inputCount{0};
    int64_t written = 0;

    void process(float** in, int inCount, float** out, int outCount, int frames) override
    {
        lastFrames.store(frames);
        // Recording starts with the first sample of the tone (the connection
        // is made after the start).
        if (inCount > 0 && (inputCount.load(std::memory_order_relaxed) > 0 || in[0][0] != 0.0f)) {
            const int have = inputCount.load(std::memory_order_relaxed);
            const int take = std::min(frames, kRecorded - have);
            std::copy(in[0], in[0] + take, input.begin() + have);
            inputCount.store(have + take, std::memory_order_release);
        }
        for (int k = 0; k < frames && outCount > 0; ++k)
            out[0][k] = ramp(written + k);
        written += frames;
        calls.fetch_add(1);
    }
    void notify(int code) override
    {
        if (code == 1)
            notifications.fetch_add(1);
    }
};

// A second client on the server: plays the ramp on "tone" and records "rec".
class Probe {
public:
    explicit Probe(const test::JackServer& server)
    {
        client_ = server.openClient("probe");
        tone_ = jack_port_register(client_, "tone", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        rec_ = jack_port_register(client_, "rec", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(client_, &Probe::process, this);
        jack_activate(client_);
    }
    ~Probe() { jack_client_close(client_); }
    jack_client_t* client() const { return client_; }
    std::string port(const char* shortName) const
    {
        return std::string(jack_get_client_name(client_)) + ":" + shortName;
    }

    std::vector<float> recorded = std::vector<float>(kRecorded);
    std::atomic<int> recordedCount{0};

private:
    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<Probe*>(arg);
        auto* tone = static_cast<float*>(jack_port_get_buffer(self->tone_, frames));
        for (jack_nframes_t k = 0; k < frames; ++k)
            tone[k] = ramp(self->played_ + k);
        self->played_ += frames;
        const auto* rec = static_cast<const float*>(jack_port_get_buffer(self->rec_, frames));
        const int have = self->recordedCount.load(std::memory_order_relaxed);
        if (have == 0 && rec[0] == 0.0f)
            return 0;
        const int take = std::min<int>(static_cast<int>(frames), kRecorded - have);
        std::copy(rec, rec + take, self->recorded.begin() + have);
        self->recordedCount.store(have + take, std::memory_order_release);
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* tone_ = nullptr;
    jack_port_t* rec_ = nullptr;
    int64_t played_ = 0;
};

// Every period, once the ramp arrives, holds it sample for sample. A late
// cycle under a slow (sanitized) build makes the server skip a client, so a
// gap between periods is allowed, but most periods follow the one before.
void expectWholeRamp(const std::vector<float>& samples, int count, const char* what)
{
    constexpr int period = 128;
    int first = 0;
    while (first < count && samples[static_cast<std::size_t>(first)] == 0.0f)
        first += period;
    ASSERT_LT(first + 8 * period, count) << what << ": the ramp did not arrive";
    int joined = 0, periods = 0;
    for (int start = first; start + period <= count; start += period, ++periods) {
        for (int i = start + 1; i < start + period; ++i)
            ASSERT_TRUE(followsRamp(samples[static_cast<std::size_t>(i - 1)],
                                    samples[static_cast<std::size_t>(i)]))
                << what << ": sample " << i << " breaks the ramp";
        if (start > first && followsRamp(samples[static_cast<std::size_t>(start - 1)],
                                         samples[static_cast<std::size_t>(start)]))
            ++joined;
    }
    EXPECT_GT(2 * joined, periods) << what << ": most periods follow the one before";
}

class MPAudioAsioTest : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_JACK_SERVER(test::JackServer::shared()); }
    test::JackServer& server() { return test::JackServer::shared(); }
};

TEST_F(MPAudioAsioTest, enumerationListsTheServerAndItsPorts)
{
    JackClient client;
    ASSERT_EQ(client.outputDevices().size(), 0u) << "nothing listed before the first enumeration";
    client.enumerate(false);
    ASSERT_EQ(client.outputDevices().size(), 1u);
    ASSERT_EQ(client.inputDevices().size(), 1u);
    EXPECT_EQ(client.outputDevices()[0].name, server().name());
    EXPECT_EQ(client.inputDevices()[0].name, server().name());
    EXPECT_EQ(client.outputDevices()[0].channelCount, 2);
    std::vector<int> sizes, rates;
    std::vector<std::string> capture, playback;
    int panel = 1, preferred = 0;
    ASSERT_TRUE(client.getCapabilities(0, true, &sizes, &capture, &rates, &panel, &preferred,
                                       nullptr, nullptr));
    ASSERT_TRUE(client.getCapabilities(0, false, nullptr, &playback, nullptr, nullptr, nullptr,
                                       nullptr, nullptr));
    EXPECT_EQ(capture, (std::vector<std::string>{"system:capture_1", "system:capture_2"}));
    EXPECT_EQ(playback, (std::vector<std::string>{"system:playback_1", "system:playback_2"}));
    EXPECT_EQ(sizes, std::vector<int>{128});
    EXPECT_EQ(rates, std::vector<int>{48000});
    EXPECT_EQ(panel, 0);
    EXPECT_EQ(preferred, 128);
    EXPECT_FALSE(client.hasControlPanel());
    int index = -1;
    EXPECT_TRUE(client.findChannel(0, false, "system:playback_2", index));
    EXPECT_EQ(index, 1);
    // The server is the one driver, whatever driver the settings name (the
    // first-run presets name interfaces' own drivers).
    for (const char* name : {server().name().c_str(), "Zq Vandrex-1 ASIO Driver", ""}) {
        index = -1;
        EXPECT_TRUE(client.findDevice(name, false, index)) << name;
        EXPECT_EQ(index, 0) << name;
    }
    EXPECT_FALSE(client.findDevice(nullptr, true, index));
}

TEST_F(MPAudioAsioTest, theServerImposesItsPeriodAndARateItDoesNotRunFails)
{
    JackClient client;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(client.openChannels(-2, -2, 512, 0, 1, 0, 1, 44100));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("retrieving configuration"), std::string::npos) << errors;
    EXPECT_NE(errors.find("44100"), std::string::npos) << errors;

    ASSERT_TRUE(client.openChannels(-2, -2, 512, 0, 1, 0, 1, 48000));
    EXPECT_EQ(client.bufferFrames(), 128);
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(test::waitUntil([&] { return client.calls.load() >= 4; }));
    EXPECT_EQ(client.lastFrames.load(), 128);
    client.stop();
    // Once stop has returned the server calls us no more.
    const int calls = client.calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(client.calls.load(), calls);
    EXPECT_GE(client.framesProcessed(), 4 * 128);
    client.close();
}

TEST_F(MPAudioAsioTest, aToneReachesLogicalInputZeroAndLogicalOutputZeroReachesAClient)
{
    JackClient client;
    Probe probe(server());
    ASSERT_TRUE(client.openChannels(-2, -2, 128, 0, -1, 0, -1, 48000));
    ASSERT_TRUE(client.start());
    // Instead of the physical ports, the probe feeds and hears our ports.
    jack_client_t* c = probe.client();
    jack_disconnect(c, "system:capture_1", client.jack().inputPortName(0).c_str());
    jack_disconnect(c, client.jack().outputPortName(0).c_str(), "system:playback_1");
    ASSERT_EQ(jack_connect(c, probe.port("tone").c_str(), client.jack().inputPortName(0).c_str()),
              0);
    ASSERT_EQ(jack_connect(c, client.jack().outputPortName(0).c_str(), probe.port("rec").c_str()),
              0);
    ASSERT_TRUE(test::waitUntil([&] {
        return client.inputCount.load(std::memory_order_acquire) == kRecorded &&
               probe.recordedCount.load(std::memory_order_acquire) == kRecorded;
    }));
    client.stop();
    expectWholeRamp(client.input, kRecorded, "logical input 0");
    expectWholeRamp(probe.recorded, kRecorded, "the probe's input");
    client.close();
}

TEST_F(MPAudioAsioTest, aSecondOpenFailsWhileOneIsOpen)
{
    JackClient first, second;
    ASSERT_TRUE(first.openChannels(-2, -2, 128, 0, 1, 0, 1, 48000));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(second.openChannels(-2, -2, 128, 0, 1, 0, 1, 48000));
    testing::internal::GetCapturedStderr();
    first.close();
    EXPECT_TRUE(second.openChannels(-2, -2, 128, 0, 1, 0, 1, 48000));
}

TEST_F(MPAudioAsioTest, aPeriodChangeStopsDeliveryAndNotifiesOnce)
{
    JackClient client;
    ASSERT_TRUE(client.openChannels(-2, -2, 128, 0, 1, 0, 1, 48000));
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(test::waitUntil([&] { return client.calls.load() >= 2; }));
    jack_client_t* control = server().openClient("period");
    ASSERT_NE(control, nullptr);
    ASSERT_EQ(jack_set_buffer_size(control, 256), 0);
    ASSERT_TRUE(test::waitUntil([&] { return client.notifications.load() >= 1; }));
    // A cycle of the old period may still be running as the request comes:
    // count the blocks only once the next cycles have begun.
    const int atRequest = client.jack().bufferSwitches();
    ASSERT_TRUE(test::waitUntil([&] { return client.jack().bufferSwitches() >= atRequest + 2; }));
    const int calls = client.calls.load();
    const int switches = client.jack().bufferSwitches();
    ASSERT_TRUE(test::waitUntil([&] { return client.jack().bufferSwitches() >= switches + 4; }));
    EXPECT_EQ(client.calls.load(), calls) << "no block reaches the client after the reset request";
    EXPECT_EQ(client.notifications.load(), 1);
    client.stop();
    client.close();
    jack_set_buffer_size(control, 128);
    jack_client_close(control);
}

TEST_F(MPAudioAsioTest, killingTheServerNotifiesAndStopAndCloseReturn)
{
    test::JackServer own("rigkill" + std::to_string(getpid()));
    ASSERT_TRUE(own.ready());
    own.select();
    {
        JackClient client;
        ASSERT_TRUE(client.openChannels(-2, -2, 128, 0, 1, 0, 1, 48000));
        ASSERT_TRUE(client.start());
        ASSERT_TRUE(test::waitUntil([&] { return client.calls.load() >= 2; }));
        own.kill();
        ASSERT_TRUE(test::waitUntil([&] { return client.notifications.load() >= 1; }));
        client.stop();
        client.close();
        EXPECT_EQ(client.notifications.load(), 1);
        EXPECT_FALSE(client.isOpen());
    }
    server().select();
}

} // namespace
