#include "host/audio/MPAudio.h"
#include "host/audio/MPAudioFake.h"
#include "tests/support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace {

// Shared input and output channels exercise every copy of the callback path.
TEST(CallbackAllocation, theFakeCallbackPathAllocatesNothing)
{
    struct Client : MPAudio {
        void process(float** in, int inCount, float** out, int outCount, int frames) override
        {
            for (int c = 0; c < outCount; ++c)
                for (int k = 0; k < frames; ++k)
                    out[c][k] = c < inCount ? in[c][k] : 0.5f;
        }
    } client;
    client.setDeviceFactory([](int) { return std::make_unique<MPAudioFake>(); });
    ASSERT_TRUE(client.createDevice(0));
    MPAudioConfig config;
    config.bufferSize = 256;
    config.inputChannels[0] = {true, 0};
    config.inputChannels[1] = {true, 0};
    config.outputChannels[0] = {true, 0};
    config.outputChannels[1] = {true, 0};
    config.outputChannels[2] = {true, 1};
    ASSERT_TRUE(client.open(config));
    auto& fake = *static_cast<MPAudioFake*>(client.device());
    std::vector<float> signal(256, 0.25f);
    const float* inputs[1] = {signal.data()};
    test::allocations::take();
    {
        test::allocations::Counting counting;
        for (int block = 0; block < 10; ++block)
            fake.step(256, inputs);
    }
    EXPECT_EQ(test::allocations::take(), 0);
    EXPECT_FLOAT_EQ(fake.outputDeviceBuffer(0)[0], 0.5f);
}

} // namespace

#include "host/audio/MPAudioAsio.h"
#include "tests/host/audio/JackServer.h"
#include "tests/host/audio/Waiting.h"

#include <atomic>

namespace {

// On the server's thread the counting flag goes up at the first callback and
// stays up for whole cycles (our copies between the ports and the buffers,
// the hand-over and the client), until the test has seen enough of them.
TEST(CallbackAllocation, theJackCallbackPathAllocatesNothing)
{
    REQUIRE_JACK_SERVER(test::JackServer::shared());
    struct Client : MPAudio {
        std::atomic<int> counted{0};
        std::atomic<bool> finish{false};
        void process(float** in, int inCount, float** out, int outCount, int frames) override
        {
            if (finish.load()) {
                test::allocations::countingThisThread = false;
                return;
            }
            if (test::allocations::countingThisThread)
                counted.fetch_add(1);
            test::allocations::countingThisThread = true;
            for (int c = 0; c < outCount; ++c)
                for (int k = 0; k < frames; ++k)
                    out[c][k] = c < inCount ? in[c][k] : 0.0f;
        }
    } client;
    ASSERT_TRUE(client.createDevice(1));
    MPAudioConfig config;
    config.inputDevice = config.outputDevice = -2;
    config.sampleRate = 48000;
    config.bufferSize = 128;
    config.inputChannels[0] = {true, 0};
    config.inputChannels[1] = {true, 0};
    config.outputChannels[0] = {true, 1};
    config.outputChannels[1] = {true, 1};
    ASSERT_TRUE(client.open(config));
    test::allocations::take();
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(test::waitUntil([&] { return client.counted.load() >= 20; }));
    client.finish.store(true);
    client.stop();
    EXPECT_EQ(test::allocations::take(), 0);
    client.close();
}

} // namespace
