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
