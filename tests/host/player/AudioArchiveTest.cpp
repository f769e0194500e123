#include "host/player/AudioArchive.h"
#include "host/player/aaLoaderHelper.h"
#include "tests/host/player/AudioFiles.h"
#include "tests/support/AllocationCounting.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

using player::AudioArchive;
namespace files = test::audiofiles;

struct Format {
    const char* name; // libsndfile's name, the description
    int format;
    const char* extension;
    int bits;
};

const Format kFormats[] = {
    {"WAV (Microsoft)", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "wav", 16},
    {"WAV (Microsoft)", SF_FORMAT_WAV | SF_FORMAT_PCM_24, "wav", 24},
    {"AIFF (Apple/SGI)", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "aiff", 16},
    {"FLAC (Free Lossless Audio Codec)", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "flac", 16},
    {"OGG (OGG Container format)", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "ogg", 16},
    {"MPEG-1/2 Audio", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "mp3", 16},
};

struct Layout {
    int channels;
    int rate;
};

const Layout kLayouts[] = {{1, 22050}, {2, 44100}, {5, 44100}};

// The frequency of a tone from its upward zero crossings, interpolated.
double frequencyOf(const std::vector<float>& x, std::size_t from, std::size_t to, double rate)
{
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = from; i + 1 < to; ++i)
        if (x[i] < 0.0f && x[i + 1] >= 0.0f) {
            const double at = double(i) + double(-x[i]) / double(x[i + 1] - x[i]);
            if (first < 0.0)
                first = at;
            last = at;
            ++crossings;
        }
    return crossings > 1 ? double(crossings - 1) * rate / (last - first) : 0.0;
}

// Decodes to the end, checking progress and collecting the overview's changed points.
void decodeWhole(AudioArchive& archive, std::vector<bool>& covered)
{
    std::vector<float> points;
    int count = 0, first = 0, changed = 0;
    float progress = 0.0f;
    while (progress < 1.0f) {
        ASSERT_TRUE(archive.isDecoding());
        progress = archive.progress();
        ASSERT_GE(progress, 0.0f);
        ASSERT_LE(progress, 1.0f);
        ASSERT_FALSE(archive.failed());
        ASSERT_TRUE(archive.overview(points, count, first, changed));
        ASSERT_EQ(count, 10000);
        ASSERT_EQ(points.size(), 10000u);
        ASSERT_GE(first, 0);
        ASSERT_LE(first + changed, 10000);
        for (int i = first; i < first + changed; ++i)
            covered[std::size_t(i)] = true;
    }
    EXPECT_EQ(progress, 1.0f);
    EXPECT_FALSE(archive.isDecoding());
    EXPECT_EQ(archive.progress(), 1.0f) << "stays complete";
    ASSERT_TRUE(archive.overview(points, count, first, changed));
    for (int i = first; i < first + changed; ++i)
        covered[std::size_t(i)] = true;
}

TEST(AudioArchive, DecodesEveryFormatAndLayoutToTwoChannelsAt44100)
{
    testsupport::TempFolder folder;
    for (const Format& format : kFormats)
        for (const Layout& layout : kLayouts) {
            if (format.format == (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) && layout.channels > 2)
                continue; // MP3 holds one or two channels
            const std::string path =
                folder.path(std::to_string(layout.channels) + "-" + std::to_string(format.bits) +
                            "." + format.extension);
            const int frames = layout.rate / 2;
            files::writeTone(path, format.format, layout.channels, layout.rate, frames);
            SCOPED_TRACE(path);

            AudioArchive archive;
            // Unforced, the file's own channels and rate.
            ASSERT_TRUE(archive.open(path.c_str()));
            EXPECT_EQ(archive.channels(), layout.channels);
            EXPECT_EQ(archive.sampleRate(), layout.rate);
            EXPECT_EQ(archive.durationSeconds(), 0);

            ASSERT_TRUE(archive.setChannels(2));
            ASSERT_TRUE(archive.setSampleRate(44100));
            const double expectedLength = double(frames) * 44100.0 / layout.rate;
            EXPECT_EQ(archive.lengthFrames(), std::int64_t(std::ceil(expectedLength)));
            char text[500];
            ASSERT_TRUE(archive.describe(text, sizeof text));
            EXPECT_EQ(std::string(text), std::string(format.name) + " with 2 chan, 44100_Hz, " +
                                             std::to_string(format.bits) + " Bit");

            std::vector<bool> covered(10000, false);
            decodeWhole(archive, covered);
            EXPECT_EQ(std::count(covered.begin(), covered.end(), false), 0)
                << "the changed ranges cover every overview point";
            EXPECT_FALSE(archive.setChannels(1)) << "decoding has begun";

            const std::int64_t length = archive.lengthFrames();
            EXPECT_NEAR(double(length), expectedLength, 1.0);
            std::vector<float> left(static_cast<std::size_t>(length)), right(left.size());
            float* both[2] = {left.data(), right.data()};
            ASSERT_TRUE(archive.readPlanar(both, 0, int(length)));
            if (layout.channels == 1)
                EXPECT_EQ(left, right) << "mono plays on both sides";
            else
                EXPECT_NEAR(test::rms(right) / test::rms(left), 2.0, 0.1)
                    << "the file's first two channels";
            EXPECT_NEAR(frequencyOf(left, 2000, left.size() - 2000, 44100.0), 1000.0, 0.5);
        }
}

TEST(AudioArchive, ReadsOutsideTheFramesHeldAreZerosAndFail)
{
    testsupport::TempFolder folder;
    const std::string path = folder.path("ramp.wav");
    files::write(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, 100,
                 [](int i, int ch) { return float(i + 1) * (ch == 0 ? 1.0f : -1.0f) / 128.0f; });
    AudioArchive archive;
    ASSERT_TRUE(archive.open(path.c_str()));
    while (archive.progress() < 1.0f)
        ASSERT_FALSE(archive.failed());
    ASSERT_EQ(archive.lengthFrames(), 100);

    struct Case {
        const char* name;
        std::int64_t first;
        bool complete;
    };
    const Case cases[] = {
        {"inside", 40, true},          {"ending at the last frame", 90, true},
        {"before frame 0", -3, false}, {"straddling the end", 95, false},
        {"past the end", 100, false},  {"far before the start", -50, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> l(10, 9.0f), r(10, 9.0f), interleaved(20, 9.0f);
        float* both[2] = {l.data(), r.data()};
        EXPECT_EQ(archive.readPlanar(both, c.first, 10), c.complete);
        EXPECT_EQ(archive.readInterleaved(interleaved.data(), c.first, 10), c.complete);
        for (int i = 0; i < 10; ++i) {
            const std::int64_t at = c.first + i;
            const float expected = at >= 0 && at < 100 ? float(at + 1) / 128.0f : 0.0f;
            EXPECT_EQ(l[std::size_t(i)], expected) << i;
            EXPECT_EQ(r[std::size_t(i)], -expected) << i;
            EXPECT_EQ(interleaved[std::size_t(2 * i)], expected) << i;
            EXPECT_EQ(interleaved[std::size_t(2 * i + 1)], -expected) << i;
        }
    }
}

TEST(AudioArchive, FilesThatAreNotAudioFailToOpenOrEndAsFailed)
{
    testsupport::TempFolder folder;
    const std::string wav = folder.path("good.wav");
    files::writeTone(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 4410);
    std::ifstream in(wav, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    folder.write("text.wav", std::string(2000, 'x') + "\nnot audio at all\n");
    folder.write("empty.wav", "");
    folder.write("truncated.wav", bytes.substr(0, 30));
    for (const char* name : {"text.wav", "empty.wav", "truncated.wav", "missing.wav"}) {
        SCOPED_TRACE(name);
        AudioArchive archive;
        if (!archive.open(folder.path(name).c_str()))
            continue;
        while (archive.isDecoding())
            archive.progress();
        EXPECT_TRUE(archive.failed());
        EXPECT_LT(archive.progress(), 1.0f);
    }
    AudioArchive archive;
    EXPECT_FALSE(archive.open(nullptr));
    EXPECT_EQ(archive.progress(), 0.0f);
    EXPECT_EQ(archive.lengthFrames(), 0);
}

TEST(AudioArchive, AFileOfManyChannelsDecodesUnforced)
{
    testsupport::TempFolder folder;
    const std::string path = folder.path("many.wav");
    files::writeTone(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 70, 44100, 5000);
    AudioArchive archive;
    ASSERT_TRUE(archive.open(path.c_str()));
    ASSERT_EQ(archive.channels(), 70);
    while (archive.progress() < 1.0f)
        ASSERT_FALSE(archive.failed());
    ASSERT_EQ(archive.lengthFrames(), 5000);
    std::vector<float> frame(70);
    ASSERT_TRUE(archive.readInterleaved(frame.data(), 3, 1));
    EXPECT_FLOAT_EQ(frame[69] / frame[0], 70.0f);
}

TEST(AudioArchive, OpensOnlyWhileTheDirectXKindIsEnabled)
{
    testsupport::TempFolder folder;
    const std::string path = folder.path("a.wav");
    files::writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 22050, 100);
    AudioArchive archive;
    EXPECT_STREQ(AudioArchive::kindName(4), "DirectX");
    EXPECT_TRUE(archive.setKindEnabled("sox", false));
    EXPECT_TRUE(archive.open(path.c_str()));
    EXPECT_FALSE(archive.setKindEnabled("directx", false)) << "names match exactly";
    EXPECT_TRUE(archive.setKindEnabled("all", false));
    EXPECT_FALSE(archive.open(path.c_str()));
    EXPECT_EQ(archive.channels(), 0) << "a failed open leaves no decoder";
    EXPECT_TRUE(archive.setKindEnabled("DirectX", true));
    EXPECT_TRUE(archive.open(path.c_str()));
}

TEST(AudioArchive, AFailedAllocationEndsDecodingAsFailed)
{
    testsupport::TempFolder folder;
    const std::string path = folder.path("a.wav");
    files::writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 22050);
    AudioArchive archive;
    ASSERT_TRUE(archive.open(path.c_str()));
    {
        test::allocations::FailingAbove failing(16 * 1024);
        while (archive.isDecoding())
            EXPECT_LT(archive.progress(), 1.0f);
    }
    EXPECT_TRUE(archive.failed());
    EXPECT_LT(archive.progress(), 1.0f);
}

TEST(aaLoaderHelper, AGrowthThatCannotBeAllocatedWritesNothing)
{
    player::aaLoaderHelper loader;
    ASSERT_TRUE(loader.prepare(2, 4));
    std::vector<float> a(4096, 0.5f), b(4096, -0.5f);
    const float* planes[2] = {a.data(), b.data()};
    ASSERT_TRUE(loader.append(planes, 4));
    {
        test::allocations::FailingAbove failing(1024);
        EXPECT_FALSE(loader.append(planes, 4096));
    }
    EXPECT_EQ(loader.framesHeld(), 4);
    std::vector<float> l(4), r(4);
    float* out[2] = {l.data(), r.data()};
    EXPECT_TRUE(loader.readPlanar(out, 0, 4));
    EXPECT_EQ(l, std::vector<float>(4, 0.5f));
    EXPECT_TRUE(loader.append(planes, 4096)) << "growth works again once memory is there";
    EXPECT_EQ(loader.framesHeld(), 4100);
}

TEST(aaLoaderHelper, TheOverviewStaysInsideItsPointsForAnyLength)
{
    struct Case {
        const char* name;
        std::int64_t estimate;
        std::int64_t decoded;
    };
    // 300000 frames: 10000 x a frame index no longer fits 32 bits.
    const Case cases[] = {
        {"a long file", 300000, 300000},
        {"a file longer than its estimate", 1000, 5000},
        {"no estimate", 0, 3000},
        {"a file shorter than its estimate", 8000, 2000},
    };
    std::vector<float> block(1000, 0.25f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player::aaLoaderHelper loader;
        ASSERT_TRUE(loader.prepare(1, c.estimate));
        std::vector<bool> covered(10000, false);
        std::vector<float> points;
        int first = 0, count = 0;
        auto collect = [&] {
            loader.overview(points, first, count);
            ASSERT_EQ(points.size(), 10000u);
            ASSERT_GE(first, 0);
            ASSERT_LE(first + count, 10000);
            for (int i = first; i < first + count; ++i)
                covered[std::size_t(i)] = true;
        };
        for (std::int64_t done = 0; done < c.decoded; done += 1000) {
            const float* planes[1] = {block.data()};
            ASSERT_TRUE(loader.append(planes, 1000));
            collect();
        }
        loader.finishOverview();
        collect();
        if (c.estimate > 0) {
            EXPECT_EQ(std::count(covered.begin(), covered.end(), false), 0);
            EXPECT_EQ(points[0], 0.25f);
        } else {
            EXPECT_EQ(std::count(points.begin(), points.end(), 0.25f), 0)
                << "no points without a length";
        }
    }
}

} // namespace
