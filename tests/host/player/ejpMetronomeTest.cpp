#include "host/player/ejpMetronome.h"
#include "host/player/ejpDefaultClick.h"
#include "hostfw/core/epiFileDump.h"
#include "hostfw/res/epiResMedia.h"
#include "hostfw/res/epiResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using player::ejpMetronome;

// frames frames of clicks mixed into silence in blocks; the left channel.
std::vector<float> clicks(ejpMetronome& metronome, int frames, int block)
{
    std::vector<float> left(std::size_t(frames), 0.0f), right(left.size(), 0.0f);
    for (int done = 0; done < frames; done += block) {
        const int n = std::min(block, frames - done);
        metronome.mixClicks(left.data() + done, right.data() + done, n);
    }
    EXPECT_EQ(left, right);
    return left;
}

// The default click (volume 1) at each of onsets, over frames frames.
std::vector<float> clicksAt(const std::vector<int>& onsets, int frames)
{
    std::vector<float> x(std::size_t(frames), 0.0f);
    for (int onset : onsets)
        for (int i = 0; i < 2205 && onset + i < frames; ++i)
            x[std::size_t(onset + i)] += float(player::ejpDefaultClickSample(i, 2205));
    return x;
}

TEST(ejpMetronome, TheDefaultClickIsADecayingToneOf50Ms)
{
    ejpMetronome metronome;
    const auto click = metronome.click();
    ASSERT_EQ(click.size(), 2205u);
    for (int i = 0; i < 2205; ++i)
        ASSERT_FLOAT_EQ(click[std::size_t(i)],
                        float(std::sin(0.3490655555555556 * i) * (2205 - i) / 2205.0))
            << i;
}

TEST(ejpMetronome, At120BpmClicksStartWithTheNextBlockAndEvery22050FramesAtAnyBlockSize)
{
    for (int block : {1, 64, 1000, 8192}) {
        SCOPED_TRACE(block);
        ejpMetronome metronome;
        metronome.setTempo(120.0f);
        metronome.setEnabled(true);
        clicks(metronome, 5000, block); // somewhere in the beat
        metronome.restartBeat();
        const int frames = 3 * 22050 + 3000;
        EXPECT_EQ(clicks(metronome, frames, block), clicksAt({0, 22050, 44100, 66150}, frames));
    }
}

TEST(ejpMetronome, ATempoChangeWhileEnabledTakesEffectAtTheNextClick)
{
    for (int block : {1, 64, 1000, 8192}) {
        SCOPED_TRACE(block);
        ejpMetronome metronome;
        metronome.setTempo(120.0f);
        metronome.setEnabled(true);
        auto out = clicks(metronome, 1000, 1000);
        metronome.setTempo(60.0f);
        EXPECT_EQ(metronome.tempo(), 120.0f) << "still the old beat";
        EXPECT_EQ(metronome.tempoText(), "60.0") << "the pending tempo is shown";
        const int frames = 22050 + 2 * 44100 + 3000 - 1000;
        const auto rest = clicks(metronome, frames, block);
        out.insert(out.end(), rest.begin(), rest.end());
        EXPECT_EQ(out, clicksAt({0, 22050, 22050 + 44100, 22050 + 2 * 44100}, frames + 1000));
        EXPECT_EQ(metronome.tempo(), 60.0f);
    }
}

TEST(ejpMetronome, ClicksAddIntoTheirBuffersAtTheirVolumeOnlyWhileEnabled)
{
    ejpMetronome metronome;
    metronome.setVolume(0.5f);
    std::vector<float> l(3000, 0.25f), r(3000, -0.25f);
    metronome.mixClicks(l.data(), r.data(), 3000);
    EXPECT_EQ(l, std::vector<float>(3000, 0.25f)) << "disabled";
    metronome.setEnabled(true);
    metronome.mixClicks(l.data(), r.data(), 3000);
    const auto click = clicksAt({0}, 3000);
    for (int i = 0; i < 3000; ++i) {
        ASSERT_FLOAT_EQ(l[std::size_t(i)], 0.25f + 0.5f * click[std::size_t(i)]) << i;
        ASSERT_FLOAT_EQ(r[std::size_t(i)], -0.25f + 0.5f * click[std::size_t(i)]) << i;
    }
    EXPECT_EQ(metronome.volumeText(), "VOLUME 50%");
}

TEST(ejpMetronome, TemposThatAreNotFiniteAndPositiveAreIgnoredAndThePeriodIsAtLeastOneFrame)
{
    ejpMetronome metronome;
    metronome.setTempo(100.0f);
    for (float tempo : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                        std::numeric_limits<float>::infinity()}) {
        metronome.setTempo(tempo);
        EXPECT_EQ(metronome.tempo(), 100.0f) << tempo;
    }
    metronome.setSampleRate(std::numeric_limits<float>::quiet_NaN());
    metronome.setSampleRate(0.0f);
    metronome.setTempo(1e9f); // a period below one frame
    EXPECT_EQ(metronome.tempo(), 1e9f);
    metronome.setEnabled(true);
    for (int block : {1, 64, 8192}) {
        const auto out = clicks(metronome, 20000, block);
        for (float v : out)
            ASSERT_TRUE(std::isfinite(v));
    }
    metronome.setTempo(1e-30f); // a period beyond any count
    const auto out = clicks(metronome, 3000, 1000);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return std::isfinite(v); }));
}

TEST(ejpMetronome, TheClickInTheHostsPackIsTheDefaultClickIn16Bits)
{
    epiResources resources;
    ASSERT_TRUE(resources.openEmbedded(0, nullptr));
    epiFileDump dump;
    ASSERT_TRUE(resources.loadData("data/metronome_click.raw", epiCode("none"), dump));
    ASSERT_EQ(dump.getSize(), 2 * 2205u);
    const auto* bytes = static_cast<const unsigned char*>(dump.getData());
    for (int i = 0; i < 2205; ++i) {
        const auto value = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        ASSERT_EQ(value, std::lround(32767.0 * player::ejpDefaultClickSample(i, 2205))) << i;
    }

    ejpMetronome metronome;
    const auto builtIn = metronome.click();
    ASSERT_TRUE(metronome.loadClick(dump.getData(), dump.getSize()));
    const auto loaded = metronome.click();
    ASSERT_EQ(loaded.size(), builtIn.size());
    for (std::size_t i = 0; i < loaded.size(); ++i)
        ASSERT_NEAR(loaded[i], builtIn[i], 0.5f / 32767.0f + 1e-7f) << i;
    EXPECT_FALSE(metronome.loadClick(dump.getData(), 1)) << "no whole sample";
}

} // namespace
