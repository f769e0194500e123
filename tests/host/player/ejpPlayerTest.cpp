#include "host/player/ejpPlayer.h"
#include "host/player/ejpPlayerMeter.h"
#include "host/player/ejpPlayerOutput.h"
#include "tests/host/player/AudioFiles.h"
#include "tests/support/AllocationCounting.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

using player::ejpPlayer;
namespace files = test::audiofiles;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A second of stereo DC at 0.5 (exact in 16 bits), loaded.
class LoadedPlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = folder.path("dc.wav");
        files::writeConstant(path, 44100, 0.5f);
        ASSERT_TRUE(files::loadWhole(player, path));
        ASSERT_EQ(player.lengthFrames(), 44100);
    }

    std::vector<float> run(int frames, int block = 64)
    {
        return files::mixed(player, frames, block);
    }

    testsupport::TempFolder folder;
    std::string path;
    ejpPlayer player;
};

TEST(ejpPlayerMapping, TempoPitchAndVolumeGiveTheirFactorsAndTexts)
{
    ejpPlayer player;
    struct Tempo {
        float t;
        int percent;
        float s;
        const char* text;
    };
    const Tempo tempos[] = {{0.0f, 100, 1.0f, "TEMPO 100%"},
                            {-1.0f, 50, 2.0f, "TEMPO 50%"},
                            {1.0f, 150, 1.0f / 1.5f, "TEMPO 150%"},
                            {-3.0f, 50, 2.0f, "TEMPO 50%"},
                            {kNaN, 50, 2.0f, "TEMPO 50%"}};
    for (const Tempo& c : tempos) {
        player.setTempo(c.t);
        EXPECT_EQ(player.tempoPercent(), c.percent) << c.t;
        EXPECT_FLOAT_EQ(player.timeFactor(), c.s) << c.t;
        EXPECT_EQ(player.tempoText(), c.text) << c.t;
    }
    struct Pitch {
        float semitones;
        float p;
        const char* text;
    };
    const Pitch pitches[] = {{12.0f, 0.5f, "PITCH +12.0"},
                             {-12.0f, 2.0f, "PITCH -12.0"},
                             {0.0f, 1.0f, "PITCH +0.0"},
                             {-2.5f, 1.1553526f, "PITCH -2.5"},
                             {40.0f, 0.5f, "PITCH +12.0"}};
    for (const Pitch& c : pitches) {
        player.setPitch(c.semitones);
        EXPECT_FLOAT_EQ(player.pitchFactor(), c.p) << c.semitones;
        EXPECT_EQ(player.pitchText(), c.text) << c.semitones;
    }
    player.setVolume(0.5f);
    EXPECT_EQ(player.volumeText(), "VOLUME 50%");
    player.setVolume(3.0f);
    EXPECT_EQ(player.volumeText(), "VOLUME 100%");
}

TEST_F(LoadedPlayer, FractionsAreClampedToTheFile)
{
    struct Case {
        double f;
        std::int64_t frame;
    };
    const Case cases[] = {{0.5, 22050}, {-0.25, 0}, {1.5, 44100}, {0.0, 0}, {1.0, 44100}};
    for (const Case& c : cases) {
        player.setPositionFraction(c.f);
        player.setLoopStartFraction(c.f);
        player.setLoopEndFraction(c.f);
        EXPECT_EQ(player.sourcePosition(), c.frame) << c.f;
        EXPECT_EQ(player.loopStart(), c.frame) << c.f;
        EXPECT_EQ(player.loopEnd(), c.frame) << c.f;
    }
    player.setPositionFraction(std::nan(""));
    EXPECT_EQ(player.sourcePosition(), 44100) << "not a number is ignored";
    EXPECT_DOUBLE_EQ(player.durationSeconds(), 1.0);
}

// The gain a fade-out started at frame 0 and the fade-in after it give frame i.
float fadeGain(int i)
{
    if (i < 220)
        return 1.0f - float(i + 1) / 220.0f;
    if (i < 440)
        return float(i - 219) / 220.0f;
    return 1.0f;
}

TEST_F(LoadedPlayer, AJumpFadesOutAndInOver220FramesAtAnyBlockSize)
{
    player.setPlaying(true);
    run(1000);
    for (int block : {1, 64, 441, 4096}) {
        SCOPED_TRACE(block);
        player.setPositionFraction(0.5);
        EXPECT_DOUBLE_EQ(player.positionFraction(), 0.5) << "the pending target";
        const auto out = run(2000, block);
        for (int i = 0; i < 2000; ++i)
            ASSERT_NEAR(out[std::size_t(i)], 0.5f * fadeGain(i), 1e-4f) << i;
        EXPECT_EQ(player.sourcePosition(), 22050 + 2000 - 220)
            << "the jump lands after the fade-out";
    }
}

TEST_F(LoadedPlayer, ATempoChangeWhilePlayingFadesWithin10MsAndKeepsTheSourcePosition)
{
    player.setPlaying(true);
    run(1000);
    // Unchanged factor: the samples show the fade's shape exactly.
    player.setTempo(0.0f);
    auto out = run(1000, 32);
    for (int i = 0; i < 1000; ++i)
        ASSERT_NEAR(out[std::size_t(i)], 0.5f * fadeGain(i), 1e-4f) << i;

    // Half speed: the factor changes when the fade-out ends, at the source
    // frame reached then, and full level is back 440 frames (< 10 ms) after
    // the request.
    const std::int64_t before = player.sourcePosition();
    player.setTempo(-1.0f);
    run(219, 1);
    EXPECT_EQ(player.timeFactor(), 1.0f);
    run(1, 1);
    EXPECT_EQ(player.timeFactor(), 2.0f);
    EXPECT_EQ(player.sourcePosition(), before + 220);
    EXPECT_EQ(player.outputPosition(), 2 * (before + 220));
    run(220, 1);
    EXPECT_EQ(player.sourcePosition(), before + 220 + 110);
    out = run(2000, 64);
    EXPECT_NEAR(test::rms(out), 0.5, 0.03) << "back at full level at the new tempo";
}

TEST_F(LoadedPlayer, TheLoopWrapsToItsStartWithAFade)
{
    player.setLoopStartFraction(0.1);
    player.setLoopEndFraction(0.2);
    player.setLoopEnabled(true);
    player.setPositionFraction(0.19);
    player.setPlaying(true);
    std::int64_t furthest = 0;
    bool wrapped = false;
    float lowest = 1.0f;
    for (int i = 0; i < 100; ++i) {
        const auto out = run(64);
        lowest = std::min(lowest, *std::min_element(out.begin(), out.end()));
        furthest = std::max(furthest, player.sourcePosition());
        wrapped = player.takeLoopWrapped() || wrapped;
    }
    EXPECT_TRUE(wrapped);
    EXPECT_LE(furthest, 8820) << "never past B";
    EXPECT_GE(player.sourcePosition(), 4410);
    EXPECT_LT(player.sourcePosition(), 4410 + 6400);
    EXPECT_LT(lowest, 0.01f) << "the wrap fades";
    EXPECT_TRUE(player.isPlaying());
}

TEST_F(LoadedPlayer, WithoutAValidLoopTheEndStopsAndReturnsToTheStart)
{
    player.setLoopStartFraction(0.5);
    player.setLoopEndFraction(0.5); // A >= B: no loop
    player.setLoopEnabled(true);
    player.setPositionFraction(0.99);
    player.setPlaying(true);
    int blocks = 0;
    while (player.isPlaying() && blocks++ < 100)
        run(100);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(player.takeEndReached());
    EXPECT_FALSE(player.takeEndReached()) << "taking clears it";
    EXPECT_FALSE(player.takeLoopWrapped());
    EXPECT_EQ(player.sourcePosition(), 0);
    EXPECT_EQ(player.outputPosition(), 0);
}

TEST_F(LoadedPlayer, ThePlayersLevelIsGainTimesVolumeTimesTheEffectOutput)
{
    player.setVolume(0.5f);
    player.setPlaying(true);
    const auto out = run(512);
    for (float v : out)
        ASSERT_FLOAT_EQ(v, 0.25f);
    int n = 0;
    EXPECT_TRUE(player.leftSegments(n));
    EXPECT_EQ(n, int(26 * 1.5 * std::log(1.25)));
    EXPECT_FALSE(player.leftSegments(n)) << "reported once";
}

TEST_F(LoadedPlayer, AStopWithoutAnAudioThreadTakesEffectAtOnce)
{
    player.setPlaying(true);
    player.setPlaying(false);
    EXPECT_FALSE(player.isPlaying());
    const auto out = run(64);
    EXPECT_EQ(out, std::vector<float>(64, 0.0f));
}

TEST_F(LoadedPlayer, AStopReturnsOnceTheAudioThreadAcknowledges)
{
    // Looping over the whole file, so the playing never ends by itself.
    player.setLoopStartFraction(0.0);
    player.setLoopEndFraction(1.0);
    player.setLoopEnabled(true);
    player.setPlaying(true);
    std::atomic<bool> quit{false};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        while (!quit) {
            player.mix(l.data(), r.data(), 256);
            ++blocks;
        }
    });
    while (blocks < 3)
        std::this_thread::yield();
    ASSERT_TRUE(player.isPlaying());
    player.setPlaying(false);
    EXPECT_FALSE(player.isPlaying());
    quit = true;
    audio.join();
}

TEST_F(LoadedPlayer, AStopGivesUpWhenTheAudioThreadNoLongerCalls)
{
    player.setPlaying(true);
    run(64);                  // the audio thread has run, then stops calling
    player.setPlaying(false); // waits about one second, then stops anyway
    EXPECT_FALSE(player.isPlaying());
}

TEST(ejpPlayerLength, AtCompletionTheLengthBecomesTheFramesHeldAndTheLoopEndFollows)
{
    // 1001 frames at 44100 Hz give an estimate of 501 at 22050 Hz; the
    // converter delivers 500.
    testsupport::TempFolder folder;
    const std::string path = folder.path("odd.wav");
    files::writeConstant(path, 1001, 0.25f);
    ejpPlayer player;
    player.setSampleRate(22050.0f);
    ASSERT_TRUE(player.load(path.c_str()));
    // The loader thread may already have finished so short a file; before
    // that the estimate stands.
    const std::int64_t early = player.lengthFrames();
    EXPECT_TRUE(early == 501 || early == 500) << early;
    const std::int64_t earlyLoopEnd = player.loopEnd();
    EXPECT_TRUE(earlyLoopEnd == 501 || earlyLoopEnd == 500) << earlyLoopEnd;
    while (player.progress() < 1.0f)
        ASSERT_FALSE(player.loadFailed());
    ASSERT_TRUE(player.isLoaded());
    EXPECT_EQ(player.lengthFrames(), 500);
    EXPECT_EQ(player.loopEnd(), 500);
}

TEST(ejpPlayerLoad, AFileThatCannotBeOpenedOrDecodedIsNotLoaded)
{
    testsupport::TempFolder folder;
    ejpPlayer player;
    EXPECT_FALSE(player.load(folder.path("missing.wav").c_str()));
    EXPECT_FALSE(player.isLoaded());
    EXPECT_EQ(player.progress(), 1.0f);

    // Five seconds need 882 KB a channel: the loader thread cannot have them.
    const std::string path = folder.path("long.wav");
    files::writeConstant(path, 5 * 44100, 0.5f);
    {
        test::allocations::FailingAboveOnEveryThread failing(512 * 1024);
        ASSERT_TRUE(player.load(path.c_str()));
        while (!player.loadFailed())
            ASSERT_FALSE(player.isLoaded());
    }
    EXPECT_LT(player.progress(), 1.0f);
    EXPECT_FALSE(player.isLoaded());

    ASSERT_TRUE(files::loadWhole(player, path));
    player.unload();
    EXPECT_FALSE(player.isLoaded());
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(player.progress(), 1.0f);
    // Nothing is left to start: the closed file is not played.
    EXPECT_EQ(player.lengthFrames(), 0);
    player.setPlaying(true);
    EXPECT_FALSE(player.isPlaying());
}

TEST(ejpPlayerMeter, BallisticsOverATableOfBlocks)
{
    struct Block {
        const char* name;
        std::vector<float> samples;
        int frames;
        float level;
    };
    const float rise = 1.5f * std::log(1.5f);
    const float fall = 441 * 0.000022675737f; // 10 ms
    const float top = 1.5f * std::log(1.99f);
    const Block blocks[] = {
        {"a peak of 0.5", {0.1f, 0.5f, -0.9f}, 3, rise},
        {"silence falls", {}, 441, rise - fall},
        {"a lower peak falls too", std::vector<float>(441, 0.1f), 441, rise - 2 * fall},
        {"the largest value, not the magnitude", std::vector<float>(4410, -0.99f), 4410,
         rise - 12 * fall},
        {"a peak above 0.99 counts as 0.99", {5.0f}, 1, top},
        {"not a number is ignored", {kNaN, kNaN}, 2, top - 2 * 0.000022675737f},
        {"a long silence ends at zero", {}, 441000, 0.0f},
    };
    player::ejpPlayerMeter meter(26);
    int shown = 0;
    for (const Block& b : blocks) {
        SCOPED_TRACE(b.name);
        meter.update(b.samples.empty() ? nullptr : b.samples.data(), b.frames);
        EXPECT_NEAR(meter.level(), b.level, 1e-5f);
        const int expected = std::min(26, int(26.0f * b.level));
        int n = -1;
        EXPECT_EQ(meter.segments(n), expected != shown) << "changes only";
        EXPECT_EQ(n, expected);
        shown = expected;
    }
}

TEST_F(LoadedPlayer, MixAndMixClicksAllocateNothingAtAnyBlockSize)
{
    player::ejpMetronome metronome;
    metronome.setTempo(400.0f);
    metronome.setEnabled(true);
    player.setLoopStartFraction(0.1);
    player.setLoopEndFraction(0.3);
    player.setLoopEnabled(true);
    player.setPlaying(true);
    std::vector<float> l(10000), r(10000);
    for (int block : {1, 7, 64, 1000, 8192, 10000}) {
        SCOPED_TRACE(block);
        player.setTempo(block % 2 ? -0.5f : 0.25f);
        player.setPitch(block % 2 ? 3.0f : -5.0f);
        player.setPositionFraction(0.15);
        metronome.setTempo(90.0f + float(block % 50));
        test::allocations::take();
        {
            test::allocations::Counting counting;
            for (int i = 0; i < 8; ++i) {
                player.mix(l.data(), r.data(), block);
                metronome.mixClicks(l.data(), r.data(), block);
            }
        }
        EXPECT_EQ(test::allocations::take(), 0);
    }
}

TEST(ejpPlayerOutput, TheEngineRestartsItsOwnMetronomeOnAJump)
{
    testsupport::TempFolder folder;
    const std::string path = folder.path("dc.wav");
    files::writeConstant(path, 44100, 0.5f);
    player::ejpPlayerOutput output;
    ASSERT_TRUE(files::loadWhole(output.engine(), path));
    output.metronome().setTempo(1.0f); // no beat of its own within the test
    output.metronome().setEnabled(true);
    output.engine().setPlaying(true);
    std::vector<float> l(1000), r(1000);
    auto block = [&] {
        std::fill(l.begin(), l.end(), 0.0f);
        std::fill(r.begin(), r.end(), 0.0f);
        output.mix(l.data(), r.data(), 1000);
        output.mixClicks(l.data(), r.data(), 1000);
    };
    for (int i = 0; i < 4; ++i)
        block(); // the first click rings out
    output.engine().setPositionFraction(0.5);
    block(); // the jump lands at frame 220: the beat restarts with this block
    const auto click = output.metronome().click();
    for (int i = 0; i < 1000; ++i)
        ASSERT_NEAR(l[std::size_t(i)] - 0.5f * fadeGain(i), click[std::size_t(i)], 1e-4f) << i;
}

} // namespace
