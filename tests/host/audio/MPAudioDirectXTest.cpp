#include "host/audio/MPAudioDirectX.h"
#include "host/audio/MPAudio.h"
#include "tests/host/audio/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Records which thread calls back and what logical input 0 holds.
class AlsaClient : public MPAudio {
public:
    AlsaClient() { createDevice(0); }
    MPAudioDirectX& alsa() { return *static_cast<MPAudioDirectX*>(device()); }
    std::atomic<int> calls{0};
    std::atomic<std::thread::id> thread{};
    std::vector<float> lastInput;
    void process(float** in, int inCount, float**, int, int frames) override
    {
        thread.store(std::this_thread::get_id());
        if (inCount > 0)
            lastInput.assign(in[0], in[0] + frames);
        calls.fetch_add(1);
    }
};

int nullDevice(MPAudio& audio, bool isInput)
{
    int index = -1;
    audio.findDevice("null", isInput, index);
    return index;
}

TEST(MPAudioDirectX, enumerationListsTheNullDevice)
{
    AlsaClient client;
    EXPECT_GE(nullDevice(client, false), 0);
    EXPECT_GE(nullDevice(client, true), 0);
    EXPECT_FALSE(client.hasControlPanel());
}

TEST(MPAudioDirectX, aDuplexOpenOnNullStartsCallsBackAndStops)
{
    AlsaClient client;
    ASSERT_TRUE(client.openChannels(nullDevice(client, true), nullDevice(client, false), 256, 0, 1,
                                    0, 1, 48000));
    EXPECT_EQ(client.bufferFrames(), 256);
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(test::waitUntil([&] { return client.calls.load() >= 4; }));
    client.stop();
    EXPECT_FALSE(client.isRunning());
    EXPECT_EQ(client.alsa().runningThreads(), 0);
    const int calls = client.calls.load();
    std::this_thread::yield();
    EXPECT_EQ(client.calls.load(), calls);
    client.close();
}

TEST(MPAudioDirectX, captureOnlyCallsBackOnTheCaptureThreadAndBufferZeroMeans512)
{
    AlsaClient client;
    ASSERT_TRUE(client.openChannels(nullDevice(client, true), -1, 0, 0, 1, -1, -1, 48000));
    EXPECT_EQ(client.bufferFrames(), 512);
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(test::waitUntil([&] { return client.calls.load() >= 2; }));
    client.stop();
    EXPECT_NE(client.thread.load(), std::this_thread::get_id());
    EXPECT_EQ(client.lastInput.size(), 512u);
    client.close();
}

TEST(MPAudioDirectX, sampleConversions)
{
    const std::pair<float, int16_t> out[] = {{1.0f, 32767},     {-1.0f, -32767}, {0.5f, 16384},
                                             {-0.5f, -16384},   {0.0f, 0},       {1e-6f, 0},
                                             {std::nanf(""), 0}};
    for (const auto& [value, sample] : out)
        EXPECT_EQ(MPAudioDirectX::toSample(value), sample) << value;
    const std::pair<int16_t, float> in[] = {
        {32767, 1.0f}, {-32767, -1.0f}, {16384, 16384.0f / 32767.0f}, {0, 0.0f}};
    for (const auto& [sample, value] : in)
        EXPECT_FLOAT_EQ(MPAudioDirectX::fromSample(sample), value) << sample;
}

// A stream that moves nothing by itself; a capture stream can be made to hang
// until released, whatever drop says.
class FakeStream : public MPAudioPcmStream {
public:
    std::atomic<bool>* hang = nullptr;
    std::atomic<bool> entered{false};
    long read(int16_t* frames, long count) override
    {
        entered.store(true);
        while (hang && hang->load())
            std::this_thread::yield();
        std::fill(frames, frames + 2 * count, int16_t{0});
        return count;
    }
    long write(const int16_t*, long count) override
    {
        std::this_thread::yield();
        return count;
    }
    bool recover(long) override { return true; }
    void drop() override {}
    bool prepare() override { return true; }
};

class FakeStreamsDirectX : public MPAudioDirectX {
public:
    using MPAudioDirectX::captureHalf;
    using MPAudioDirectX::playbackHalf;
    std::atomic<bool>* hangCapture = nullptr;
    FakeStream* capture = nullptr;

protected:
    std::unique_ptr<MPAudioPcmStream> openStream(const std::string&, bool isCapture, int,
                                                 int&) override
    {
        auto stream = std::make_unique<FakeStream>();
        if (isCapture) {
            stream->hang = hangCapture;
            capture = stream.get();
        }
        return stream;
    }
};

TEST(MPAudioDirectX, theDuplexRingHandsOverTheHalfCapturedOnePeriodEarlierSilenceFirst)
{
    AlsaClient client;
    client.setDeviceFactory([](int) { return std::make_unique<FakeStreamsDirectX>(); });
    ASSERT_TRUE(client.createDevice(0));
    auto& device = *static_cast<FakeStreamsDirectX*>(client.device());
    ASSERT_TRUE(client.openChannels(-2, -2, 4, 0, 1, 0, 1, 48000));
    std::vector<int16_t> out(8);
    auto captured = [](int16_t base) {
        std::vector<int16_t> half(8);
        for (int k = 0; k < 8; ++k)
            half[static_cast<std::size_t>(k)] = static_cast<int16_t>(base + k);
        return half;
    };
    // Nothing captured yet: the inputs keep their (zeroed) contents.
    device.playbackHalf(out.data());
    EXPECT_EQ(client.lastInput, std::vector<float>(4, 0.0f));
    const std::vector<float> silence(4, 0.0f);
    for (int period = 0; period < 6; ++period) {
        const auto half = captured(static_cast<int16_t>(1000 * (period + 1)));
        device.captureHalf(half.data());
        device.playbackHalf(out.data());
        std::vector<float> left(4);
        if (period == 0) {
            left = silence;
        } else {
            const auto previous = captured(static_cast<int16_t>(1000 * period));
            for (int k = 0; k < 4; ++k)
                left[static_cast<std::size_t>(k)] =
                    MPAudioDirectX::fromSample(previous[static_cast<std::size_t>(2 * k)]);
        }
        EXPECT_EQ(client.lastInput, left) << "period " << period;
    }
    client.close();
}

TEST(MPAudioDirectX, stopGivesUpAfterItsBoundWhenAThreadHangs)
{
    std::atomic<bool> hang{true};
    AlsaClient client;
    client.setDeviceFactory([&](int) {
        auto device = std::make_unique<FakeStreamsDirectX>();
        device->hangCapture = &hang;
        device->setStopBound(3, 1);
        return device;
    });
    ASSERT_TRUE(client.createDevice(0));
    auto& device = *static_cast<FakeStreamsDirectX*>(client.device());
    ASSERT_TRUE(client.openChannels(-2, -1, 64, 0, 1, -1, -1, 48000));
    ASSERT_TRUE(client.start());
    ASSERT_TRUE(test::waitUntil([&] { return device.capture->entered.load(); }));
    client.stop();
    EXPECT_FALSE(client.isRunning());
    EXPECT_EQ(device.runningThreads(), 1) << "the hanging thread was given up on";
    hang.store(false);
    client.close();
    EXPECT_EQ(device.runningThreads(), 0);
}

} // namespace
