#include "host/audio/MPAudio.h"
#include "host/audio/MPAudioAsio.h"
#include "host/audio/MPAudioDirectX.h"
#include "host/audio/MPAudioFake.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

// A client whose process is a lambda, over a fake device.
class FakeClient : public MPAudio {
public:
    using Process =
        std::function<void(float** in, int inCount, float** out, int outCount, int frames)>;
    explicit FakeClient(Process p = {}) : process_(std::move(p))
    {
        setDeviceFactory([](int) { return std::make_unique<MPAudioFake>(); });
        createDevice(0);
    }
    MPAudioFake& fake() { return *static_cast<MPAudioFake*>(device()); }
    void process(float** in, int inCount, float** out, int outCount, int frames) override
    {
        if (process_)
            process_(in, inCount, out, outCount, frames);
    }

private:
    Process process_;
};

MPAudioConfig configWith(int frames)
{
    MPAudioConfig config;
    config.inputDevice = -2;
    config.outputDevice = -2;
    config.bufferSize = frames;
    return config;
}

TEST(MPAudioBase, twoOutputsOnOneDeviceChannelSumAndClamp)
{
    const std::vector<std::pair<float, float>> cases = {
        {0.25f, 0.5f}, {0.75f, 0.5f}, {-0.9f, -0.4f}, {0.5f, -1.5f}};
    std::size_t current = 0;
    FakeClient client([&](float**, int, float** out, int outCount, int frames) {
        ASSERT_EQ(outCount, 2);
        for (int k = 0; k < frames; ++k) {
            out[0][k] = cases[current].first;
            out[1][k] = cases[current].second;
        }
    });
    MPAudioConfig config = configWith(64);
    config.outputChannels[0] = {true, 1};
    config.outputChannels[1] = {true, 1};
    ASSERT_TRUE(client.open(config));
    ASSERT_EQ(client.fake().outputGroups(), 1);
    EXPECT_EQ(client.fake().outputDeviceChannel(0), 1);
    for (current = 0; current < cases.size(); ++current) {
        client.fake().step(64);
        const float sum = cases[current].first + cases[current].second;
        const float expected = sum > 1.0f ? 1.0f : (sum < -1.0f ? -1.0f : sum);
        for (int k = 0; k < 64; ++k)
            ASSERT_FLOAT_EQ(client.fake().outputDeviceBuffer(0)[k], expected) << "case " << current;
    }
}

TEST(MPAudioBase, twoInputsOnOneDeviceChannelBothReceiveIt)
{
    std::vector<float> seen0, seen1;
    FakeClient client([&](float** in, int inCount, float**, int, int frames) {
        ASSERT_EQ(inCount, 2);
        seen0.assign(in[0], in[0] + frames);
        seen1.assign(in[1], in[1] + frames);
    });
    MPAudioConfig config = configWith(32);
    config.inputChannels[0] = {true, 0};
    config.inputChannels[1] = {true, 0};
    ASSERT_TRUE(client.open(config));
    ASSERT_EQ(client.fake().inputGroups(), 1);
    std::vector<float> signal(32);
    for (int k = 0; k < 32; ++k)
        signal[static_cast<std::size_t>(k)] = 0.01f * static_cast<float>(k);
    const float* inputs[1] = {signal.data()};
    client.fake().step(32, inputs);
    EXPECT_EQ(seen0, signal);
    EXPECT_EQ(seen1, signal);
}

TEST(MPAudioBase, channelCountsAboveThirtyTwoOpenWithThirtyTwo)
{
    int inputs = -1, outputs = -1;
    FakeClient client([&](float** in, int inCount, float** out, int outCount, int frames) {
        inputs = inCount;
        outputs = outCount;
        // Every logical channel has a buffer of a whole block.
        for (int c = 0; c < inCount; ++c)
            in[c][frames - 1] = 0.0f;
        for (int c = 0; c < outCount; ++c)
            out[c][frames - 1] = 0.0f;
    });
    MPAudioConfig config = configWith(16);
    config.inputChannelCount = 40;
    config.outputChannelCount = 1000;
    ASSERT_TRUE(client.open(config));
    client.fake().step(16);
    EXPECT_EQ(inputs, 32);
    EXPECT_EQ(outputs, 32);
}

TEST(MPAudioBase, onlyOutputFiveEnabledOffersSixOfWhichFiveReachesTheDevice)
{
    int outputs = -1;
    FakeClient client([&](float**, int, float** out, int outCount, int frames) {
        outputs = outCount;
        for (int c = 0; c < outCount; ++c)
            for (int k = 0; k < frames; ++k)
                out[c][k] = 0.1f * static_cast<float>(c);
    });
    MPAudioConfig config = configWith(8);
    config.outputChannels[5] = {true, 0};
    ASSERT_TRUE(client.open(config));
    client.fake().step(8);
    EXPECT_EQ(outputs, 6);
    ASSERT_EQ(client.fake().outputGroups(), 1);
    for (int k = 0; k < 8; ++k)
        EXPECT_FLOAT_EQ(client.fake().outputDeviceBuffer(0)[k], 0.5f);
}

TEST(MPAudioBase, aNanFromTheClientReachesTheDeviceAsSilence)
{
    FakeClient client([&](float**, int, float** out, int, int frames) {
        for (int k = 0; k < frames; ++k)
            out[0][k] = k % 2 ? std::numeric_limits<float>::quiet_NaN() : 0.25f;
    });
    ASSERT_TRUE(client.openChannels(-2, -2, 4, -1, -1, 0, -1, 48000));
    client.fake().step(4);
    const float expected[4] = {0.25f, 0.0f, 0.25f, 0.0f};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(client.fake().outputDeviceBuffer(0)[k], expected[k]);
}

// The test signal is the only consumer of the frames counter's value: with a
// 32-bit counter it would overflow (undefined) after about 12 hours at 48 kHz.
TEST(MPAudioBase, withoutAClientTheDevicePlaysTheTestSquareWaves)
{
    const int64_t starts[] = {0, 190, 205, (int64_t{1} << 31) - 300, int64_t{300000000000}};
    for (int64_t start : starts) {
        MPAudioFake device; // no client
        ASSERT_TRUE(device.openChannels(-1, -2, 512, -1, -1, 0, 1, 48000));
        device.setFramesProcessed(start);
        for (int block = 0; block < 3; ++block) {
            const int64_t t = device.framesProcessed();
            device.step(512);
            for (int k = 0; k < 512; ++k) {
                const float left = ((t + k) / 200) % 2 == 1 ? 1.0f : -1.0f;
                const float right = k < 256 ? (((t + k) / 210) % 2 == 1 ? 1.0f : -1.0f) : 0.0f;
                ASSERT_EQ(device.outputDeviceBuffer(0)[k], left)
                    << "start " << start << " frame " << k;
                ASSERT_EQ(device.outputDeviceBuffer(1)[k], right)
                    << "start " << start << " frame " << k;
            }
        }
        EXPECT_EQ(device.framesProcessed(), start + 3 * 512);
    }
}

TEST(MPAudioBase, deviceNamesBecomeIndicesNullNoneUnknownDefault)
{
    MPAudioDeviceInfo a, b;
    a.name = "first";
    b.name = "second";
    struct Case {
        const char* in;
        const char* out;
        int expectedIn;
        int expectedOut;
    };
    const Case cases[] = {
        {nullptr, nullptr, -1, -1}, {"nope", "second", -2, 1}, {"first", "", 0, -2}};
    for (const Case& c : cases) {
        MPAudioFake device;
        device.fakeInputs = {a, b};
        device.fakeOutputs = {a, b};
        MPAudioConfig config;
        ASSERT_TRUE(device.openConfigByNames(c.in, c.out, config));
        EXPECT_EQ(device.config().inputDevice, c.expectedIn);
        EXPECT_EQ(device.config().outputDevice, c.expectedOut);
        device.close();
        MPAudioNamedSettings settings;
        settings.inputName = c.in;
        settings.outputName = c.out;
        settings.outLeft = 0;
        ASSERT_TRUE(device.openByNames(settings));
        EXPECT_EQ(device.config().inputDevice, c.expectedIn);
        EXPECT_EQ(device.config().outputDevice, c.expectedOut);
        EXPECT_EQ(device.enumerations(), 1) << "enumeration happens once unless forced";
    }
}

TEST(MPAudioBase, openFailsWhenOpenOrWhenTheBackEndRefuses)
{
    MPAudioFake device;
    ASSERT_TRUE(device.open(configWith(64)));
    EXPECT_FALSE(device.open(configWith(64)));
    device.close();
    device.openSucceeds = false;
    EXPECT_FALSE(device.open(configWith(64)));
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.start());
}

TEST(MPAudioBase, closeWhileRunningStopsFirst)
{
    FakeClient client;
    ASSERT_TRUE(client.open(configWith(64)));
    ASSERT_TRUE(client.start());
    EXPECT_TRUE(client.isRunning());
    client.close();
    EXPECT_EQ(client.fake().deviceStops(), 1);
    EXPECT_EQ(client.fake().deviceCloses(), 1);
    EXPECT_FALSE(client.isRunning());
    EXPECT_FALSE(client.isOpen());
}

TEST(MPAudioBase, baseCapabilitiesAndChannelNames)
{
    MPAudioFake device;
    std::vector<int> sizes, rates;
    std::vector<std::string> names;
    int panel = 7, preferred = 7, reserved = 7, latency = 7;
    ASSERT_TRUE(device.getCapabilities(0, false, &sizes, &names, &rates, &panel, &preferred,
                                       &reserved, &latency));
    EXPECT_EQ(sizes.front(), 128);
    EXPECT_EQ(sizes.back(), 65536);
    EXPECT_EQ(sizes.size(), 10u);
    EXPECT_EQ(names, (std::vector<std::string>{"Left", "Right"}));
    EXPECT_EQ(rates, (std::vector<int>{22050, 44100, 48000, 88200, 96000}));
    EXPECT_EQ(panel + preferred + reserved + latency, 0);
    int index = 5;
    EXPECT_TRUE(device.findChannel(0, true, "Right", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(device.findChannel(0, true, "Centre", index));
    EXPECT_EQ(index, -1);
}

TEST(MPAudio, technologiesByNameAndIndex)
{
    MPAudio audio;
    std::vector<int> made;
    audio.setDeviceFactory([&](int kind) {
        made.push_back(kind);
        return std::make_unique<MPAudioFake>();
    });
    EXPECT_TRUE(audio.createDeviceByName("asio"));
    EXPECT_EQ(audio.kind(), 1);
    MPAudioBase* existing = audio.device();
    EXPECT_FALSE(audio.createDeviceByName("Wave"));
    EXPECT_EQ(audio.device(), existing) << "an unknown name leaves the device in place";
    EXPECT_EQ(audio.kind(), 1);
    EXPECT_TRUE(audio.createDeviceByName("DIRECTX"));
    EXPECT_EQ(audio.kind(), 0);
    EXPECT_FALSE(audio.createDevice(2));
    EXPECT_EQ(audio.device(), nullptr);
    EXPECT_EQ(audio.kind(), -1);
    EXPECT_EQ(made, (std::vector<int>{1, 0}));

    std::string text;
    EXPECT_TRUE(MPAudio::kindName(0, text));
    EXPECT_EQ(text, "DirectX");
    EXPECT_TRUE(MPAudio::kindName(1, text));
    EXPECT_EQ(text, "ASIO");
    EXPECT_FALSE(MPAudio::kindName(2, text));
    EXPECT_TRUE(MPAudio::kindLabel(0, text));
    EXPECT_EQ(text, "ALSA");
    EXPECT_TRUE(MPAudio::kindLabel(1, text));
    EXPECT_EQ(text, "JACK");
    EXPECT_TRUE(MPAudio::kindUsesOneDevice(1));
    EXPECT_FALSE(MPAudio::kindUsesOneDevice(0));

    // The built-in back ends, without a factory; neither touches a device
    // before it is opened.
    MPAudio plain;
    EXPECT_TRUE(plain.createDeviceByName("Asio"));
    EXPECT_NE(dynamic_cast<MPAudioAsio*>(plain.device()), nullptr);
    EXPECT_TRUE(plain.createDeviceByName("directx"));
    EXPECT_NE(dynamic_cast<MPAudioDirectX*>(plain.device()), nullptr);
}

TEST(MPAudio, withoutADeviceAnswersFalseZeroAndEmptyLists)
{
    MPAudio audio;
    MPAudioConfig config;
    int index = 3;
    EXPECT_FALSE(audio.open(config));
    EXPECT_FALSE(audio.openChannels(-2, -2, 64, 0, 1, 0, 1, 48000));
    EXPECT_FALSE(audio.openByNames(MPAudioNamedSettings{}));
    EXPECT_FALSE(audio.openConfigByNames("a", "b", config));
    EXPECT_FALSE(audio.start());
    EXPECT_FALSE(audio.isRunning());
    EXPECT_FALSE(audio.isOpen());
    EXPECT_EQ(audio.framesProcessed(), 0);
    EXPECT_EQ(audio.bufferFrames(), 0);
    EXPECT_TRUE(audio.outputDevices().empty());
    EXPECT_TRUE(audio.inputDevices().empty());
    EXPECT_FALSE(audio.findDevice("a", true, index));
    EXPECT_EQ(index, -1);
    EXPECT_FALSE(audio.getCapabilities(0, true, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr));
    EXPECT_FALSE(audio.findChannel(0, true, "Left", index));
    EXPECT_FALSE(audio.hasControlPanel());
    EXPECT_FALSE(audio.showControlPanel(0, false));
    audio.close();
    audio.stop();
    audio.enumerate(true);
}

} // namespace
