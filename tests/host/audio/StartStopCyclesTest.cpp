// ctest-label: tsan
#include "host/audio/MPAudio.h"
#include "host/audio/MPAudioFake.h"
#include "tests/host/audio/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Counts the callbacks of its device thread.
class CountingClient : public MPAudio {
public:
    std::atomic<int> calls{0};
    void process(float**, int, float** out, int outCount, int frames) override
    {
        for (int c = 0; c < outCount; ++c)
            for (int k = 0; k < frames; ++k)
                out[c][k] = 0.1f;
        calls.fetch_add(1);
    }
};

// Starts and stops the device again and again on this thread while another
// thread polls it, as the host's window does; each running period waits
// until the device thread has called back.
void cycleWhilePolling(MPAudio& audio, const std::atomic<int>& calls)
{
    std::atomic<bool> done{false};
    std::thread poller([&] {
        int64_t last = 0;
        while (!done.load()) {
            (void)audio.isRunning();
            const int64_t frames = audio.framesProcessed();
            EXPECT_GE(frames, last);
            last = frames;
            std::this_thread::yield();
        }
    });
    for (int cycle = 0; cycle < 5; ++cycle) {
        const int before = calls.load();
        const bool started = audio.start();
        const bool called = started && test::waitUntil([&] { return calls.load() >= before + 2; });
        EXPECT_TRUE(called) << "cycle " << cycle;
        if (!called) {
            audio.stop();
            break;
        }
        audio.stop();
        EXPECT_FALSE(audio.isRunning());
        const int after = calls.load();
        std::this_thread::yield();
        EXPECT_EQ(calls.load(), after) << "no callback after stop returned";
    }
    done.store(true);
    poller.join();
}

TEST(StartStopCycles, fakeBackEnd)
{
    CountingClient client;
    client.setDeviceFactory([](int) {
        auto fake = std::make_unique<MPAudioFake>();
        fake->threaded = true;
        return fake;
    });
    ASSERT_TRUE(client.createDevice(0));
    ASSERT_TRUE(client.openChannels(-1, -2, 64, -1, -1, 0, 1, 48000));
    cycleWhilePolling(client, client.calls);
    client.close();
}

} // namespace

namespace {

// The ALSA back end on the "null" device: two device threads, the duplex ring
// and the stop's drop of the streams.
TEST(StartStopCycles, alsaBackEndOnTheNullDevice)
{
    CountingClient client;
    ASSERT_TRUE(client.createDevice(0));
    int in = -1, out = -1;
    ASSERT_TRUE(client.findDevice("null", true, in));
    ASSERT_TRUE(client.findDevice("null", false, out));
    ASSERT_TRUE(client.openChannels(in, out, 256, 0, 1, 0, 1, 48000));
    cycleWhilePolling(client, client.calls);
    client.close();
}

} // namespace
