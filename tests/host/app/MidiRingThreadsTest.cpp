// ctest-label: tsan
#include "host/app/vphoMidiRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Two producers (a MIDI device thread and the keyboard) and the audio thread
// at once: every message delivered is whole, each producer's messages arrive
// in order, and nothing is delivered twice.
TEST(MidiRingThreads, twoProducersAndTheAudioThread)
{
    vphoMidiRing ring;
    constexpr int kPerProducer = 10000;
    std::atomic<int> producersDone{0};
    auto produce = [&](std::uint8_t status) {
        for (int i = 0; i < kPerProducer; ++i) {
            // The value is repeated, so that a torn entry shows.
            const std::uint8_t bytes[4] = {status, static_cast<std::uint8_t>(i & 0x7F),
                                           static_cast<std::uint8_t>(i & 0x7F),
                                           static_cast<std::uint8_t>((i >> 7) & 0x7F)};
            while (!ring.push(bytes, 4))
                std::this_thread::yield();
        }
        ++producersDone;
    };
    std::thread device(produce, std::uint8_t{0x90});
    std::thread keyboard(produce, std::uint8_t{0xB0});

    int next[2] = {0, 0};
    bool whole = true, ordered = true;
    std::vector<Zq::DUZ2::MidiEvent> batch(vphoMidiRing::kEntries);
    for (;;) {
        const bool finished = producersDone.load() == 2;
        const int n = ring.drain(batch.data(), vphoMidiRing::kEntries);
        for (int k = 0; k < n; ++k) {
            const auto& e = batch[static_cast<std::size_t>(k)];
            const int who = e.data[0] == 0x90 ? 0 : 1;
            const int value = e.data[1] | (e.data[3] << 7);
            whole = whole && (e.data[0] == 0x90 || e.data[0] == 0xB0) && e.data[1] == e.data[2];
            ordered = ordered && value == next[who];
            next[who] = value + 1;
        }
        if (finished && n == 0)
            break;
        if (n == 0)
            std::this_thread::yield();
    }
    device.join();
    keyboard.join();
    EXPECT_TRUE(whole);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(next[0], kPerProducer);
    EXPECT_EQ(next[1], kPerProducer);
}

} // namespace
