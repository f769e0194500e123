// ctest-label: tsan
#include "host/player/ejpPlayerOutput.h"
#include "tests/host/player/AudioFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

namespace files = test::audiofiles;

TEST(PlayerConcurrency, TheUiDrivesThePlayerWhileTheAudioThreadMixes)
{
    testsupport::TempFolder folder;
    const std::string path = folder.path("tone.wav");
    files::writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 22050);
    player::ejpPlayerOutput output;
    player::ejpPlayer& engine = output.engine();
    player::ejpMetronome& metronome = output.metronome();
    ASSERT_TRUE(files::loadWhole(engine, path));

    std::atomic<bool> quit{false};
    std::atomic<long> blocks{0};
    std::thread audio([&] {
        std::vector<float> l(1024), r(1024);
        // Block sizes wander between 17 and 525 frames.
        for (int n = 1; !quit; n = n % 509 + 17) {
            std::fill(l.begin(), l.end(), 0.0f);
            std::fill(r.begin(), r.end(), 0.0f);
            output.mix(l.data(), r.data(), n);
            output.mixClicks(l.data(), r.data(), n);
            ++blocks;
        }
    });
    auto waitBlocks = [&](long count) {
        const long until = blocks + count;
        while (blocks < until)
            std::this_thread::yield();
    };

    const std::vector<std::int16_t> click(300, 1000);
    metronome.setEnabled(true);
    for (int i = 0; i < 60; ++i) {
        engine.setPlaying(true);
        engine.setLoopStartFraction(0.1 * (i % 5));
        engine.setLoopEndFraction(0.5 + 0.1 * (i % 5));
        engine.setLoopEnabled(i % 3 != 0);
        engine.setTempo(float(i % 5) / 2.0f - 1.0f);
        engine.setPitch(float(i % 7) - 3.0f);
        engine.setVolume(0.5f);
        metronome.setTempo(60.0f + float(i));
        waitBlocks(3);
        engine.setPositionFraction(double(i % 10) / 10.0);
        int n = 0;
        engine.leftSegments(n);
        engine.rightSegments(n);
        EXPECT_GE(engine.positionFraction(), 0.0);
        EXPECT_FALSE(engine.tempoText().empty());
        EXPECT_FALSE(metronome.tempoText().empty());
        engine.takeLoopWrapped();
        engine.takeEndReached();
        waitBlocks(3);
        if (i % 10 == 5)
            ASSERT_TRUE(metronome.loadClick(click.data(), click.size() * 2));
        if (i % 20 == 10) {
            // A new file while the audio thread goes on mixing.
            ASSERT_TRUE(files::loadWhole(engine, path));
        }
        engine.setPlaying(false);
        EXPECT_FALSE(engine.isPlaying());
    }
    engine.unload();
    quit = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
}

} // namespace
