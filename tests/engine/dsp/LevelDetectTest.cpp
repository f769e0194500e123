#include "engine/dsp/LevelDetect.h"
#include "engine/dsp/KernelDispatch.h"
#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using utils::LevelDetect;
using utils::LevelDetectKATMAI;

TEST(LevelDetect, PeakModeGivesEachChannelsLargestMagnitudeAndReturnsTheLarger)
{
    for (LevelDetect* detector : {static_cast<LevelDetect*>(new LevelDetect),
                                  static_cast<LevelDetect*>(new LevelDetectKATMAI)}) {
        const std::unique_ptr<LevelDetect> owner(detector);
        EXPECT_EQ(detector->getMode(), LevelDetect::kPeak);
        EXPECT_EQ(detector->getChannels(), 1);

        // Interleaved: left peaks at -0.9, right at 0.4; a NaN is passed over.
        const std::vector<float> stereo{
            0.1f, -0.2f, -0.9f, 0.4f, 0.3f, std::numeric_limits<float>::quiet_NaN(),
            0.5f, 0.0f,  0.2f,  0.1f};
        detector->setChannels(2, 48000.0f);
        float left = -1.0f;
        float right = -1.0f;
        EXPECT_EQ(detector->measure(stereo.data(), 5, &left, &right), 0.9f);
        EXPECT_EQ(left, 0.9f);
        EXPECT_EQ(right, 0.4f);
        EXPECT_EQ(detector->measure(stereo.data(), 5, nullptr, nullptr), 0.9f);

        detector->setChannels(1, 48000.0f);
        EXPECT_EQ(detector->measure(stereo.data(), 10, &left, &right), 0.9f);
        EXPECT_EQ(right, 0.9f) << "one channel: both values the same";
        EXPECT_EQ(detector->measure(stereo.data(), 0, &left, &right), 0.0f);

        detector->setChannels(3, 48000.0f); // ignored
        detector->setMode(7);
        EXPECT_EQ(detector->getChannels(), 1);
        EXPECT_EQ(detector->getMode(), LevelDetect::kPeak);
    }
}

TEST(LevelDetect, TheSecondModeIsTheRootOfEachChannelsSumOfSquares)
{
    LevelDetect detector;
    detector.setMode(LevelDetect::kRootSumSquare);
    detector.setChannels(2, 44100.0f);
    const std::vector<float> stereo{3.0f, 1.0f, 4.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f};
    float left = 0.0f;
    float right = 0.0f;
    EXPECT_EQ(detector.measure(stereo.data(), 4, &left, &right), 5.0f);
    EXPECT_EQ(left, 5.0f);
    EXPECT_EQ(right, 2.0f);
}

TEST(LevelDetect, PlainAndSseFormsAgreeInBothModes)
{
    std::mt19937 generator(7);
    std::normal_distribution<float> normal(0.0f, 0.3f);
    std::vector<float> samples(2 * 131 + 1);
    for (float& x : samples)
        x = normal(generator);
    for (std::int32_t mode : {0, 1}) {
        for (std::int32_t channels : {1, 2}) {
            LevelDetect plain;
            LevelDetectKATMAI sse;
            for (LevelDetect* d :
                 {static_cast<LevelDetect*>(&plain), static_cast<LevelDetect*>(&sse)}) {
                d->setMode(mode);
                d->setChannels(channels, 44100.0f);
            }
            // Every count up to past a vector's width and a piece's, from an unaligned start.
            for (std::int32_t frames : {1, 2, 3, 4, 5, 7, 8, 63, 64, 128, 130}) {
                float pl = 0, pr = 0, sl = 0, sr = 0;
                const float p = plain.measure(samples.data() + 1, frames, &pl, &pr);
                const float s = sse.measure(samples.data() + 1, frames, &sl, &sr);
                if (mode == 0) {
                    EXPECT_EQ(p, s) << channels << " channels, " << frames;
                    EXPECT_EQ(pl, sl);
                    EXPECT_EQ(pr, sr);
                } else {
                    EXPECT_NEAR(p, s, 1e-5f * p) << channels << " channels, " << frames;
                    EXPECT_NEAR(pl, sl, 1e-5f * pl);
                    EXPECT_NEAR(pr, sr, 1e-5f * pr);
                }
            }
        }
    }
}

TEST(LevelDetect, TheCreatorFollowsTheSseBitOfTheFeatureWord)
{
    EXPECT_NE(dynamic_cast<LevelDetectKATMAI*>(utils::createLevelDetector(0x80).get()), nullptr);
    EXPECT_NE(dynamic_cast<LevelDetectKATMAI*>(utils::createLevelDetector(0xB1).get()), nullptr);
    EXPECT_EQ(dynamic_cast<LevelDetectKATMAI*>(utils::createLevelDetector(0x31).get()), nullptr);
    EXPECT_EQ(dynamic_cast<LevelDetectKATMAI*>(utils::createLevelDetector(0x7F).get()), nullptr);

    // Through the dispatch: an Intel processor whose system saves SSE state.
    auto sink = platform::setDebugOutputSink([](std::string_view) {});
    platform::ProcessorIdentity intel;
    intel.vendor = "GenuineIntel";
    intel.version = 6 << 8;
    intel.featuresEdx = platform::ProcessorIdentity::kSse | platform::ProcessorIdentity::kMmx;
    intel.systemSavesSseState = true;
    utils::setProcessorQuery([intel] { return intel; });
    utils::initKernels(0);
    const auto chosen = utils::createLevelDetector();
    utils::initKernels(128); // the host's mask
    const auto plain = utils::createLevelDetector();
    utils::setProcessorQuery({});
    utils::initKernels(128);
    platform::setDebugOutputSink(std::move(sink));

    EXPECT_NE(dynamic_cast<LevelDetectKATMAI*>(chosen.get()), nullptr);
    EXPECT_EQ(dynamic_cast<LevelDetectKATMAI*>(plain.get()), nullptr);
    EXPECT_EQ(chosen->getMode(), 0);
    EXPECT_EQ(chosen->getChannels(), 1);
}
