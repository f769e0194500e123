#include "engine/math/utils/BilinFilter.h"
#include "engine/math/utils/BiquadFilter.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using test::noise;

// The two utilities behind one face, so that one table of cases serves both.
struct Utility {
    std::string name;
    // A designed filter for the given channel count.
    std::function<std::unique_ptr<utils::FilterChannels>(int channels)> make;
    std::function<void(utils::FilterChannels&, float* out, const float* in, int frames)> block;
    std::function<void(utils::FilterChannels&, float* out, const float* in)> frame;
};

const std::vector<Utility>& utilities()
{
    static const std::vector<Utility> list = {
        {"BiquadFilter",
         [](int channels) {
             auto f = std::make_unique<utils::BiquadFilter>();
             f->setup(channels, 48000);
             f->designLowPass(2.0f * 3.14159265f * 1500.0f, 0.5f); // resonant, so the state matters
             return std::unique_ptr<utils::FilterChannels>(std::move(f));
         },
         [](utils::FilterChannels& f, float* out, const float* in, int frames) {
             static_cast<utils::BiquadFilter&>(f).processBlock(out, in, frames);
         },
         [](utils::FilterChannels& f, float* out, const float* in) {
             static_cast<utils::BiquadFilter&>(f).processFrame(out, in);
         }},
        {"BilinFilter",
         [](int channels) {
             auto f = std::make_unique<utils::BilinFilter>();
             f->setup(channels, 48000);
             f->designHighPass(2.0f * 3.14159265f * 300.0f);
             return std::unique_ptr<utils::FilterChannels>(std::move(f));
         },
         [](utils::FilterChannels& f, float* out, const float* in, int frames) {
             static_cast<utils::BilinFilter&>(f).processBlock(out, in, frames);
         },
         [](utils::FilterChannels& f, float* out, const float* in) {
             static_cast<utils::BilinFilter&>(f).processFrame(out, in);
         }},
    };
    return list;
}

class FilterUtilities : public ::testing::TestWithParam<std::size_t> {
protected:
    const Utility& utility() const { return utilities()[GetParam()]; }
};

TEST_P(FilterUtilities, StereoInterleavedOutputEqualsTwoMonoFilters)
{
    const int frames = 300;
    const std::vector<float> left = noise(frames, 1);
    const std::vector<float> right = noise(frames, 2);
    std::vector<float> interleaved(2 * frames);
    for (int f = 0; f < frames; ++f) {
        interleaved[2 * f] = left[f];
        interleaved[2 * f + 1] = right[f];
    }
    auto stereo = utility().make(2);
    auto monoL = utility().make(1);
    auto monoR = utility().make(1);
    std::vector<float> outStereo(2 * frames), outL(frames), outR(frames);
    utility().block(*stereo, outStereo.data(), interleaved.data(), frames);
    utility().block(*monoL, outL.data(), left.data(), frames);
    utility().block(*monoR, outR.data(), right.data(), frames);
    for (int f = 0; f < frames; ++f) {
        ASSERT_EQ(outStereo[2 * f], outL[f]) << f;
        ASSERT_EQ(outStereo[2 * f + 1], outR[f]) << f;
    }
}

// Blocks of 0, 1, 2 and 3 frames (shorter than the block routine's own start-up
// frames) in a mixed sequence, in place and not, give exactly what the same
// frames give one by one.
TEST_P(FilterUtilities, ShortBlocksEqualFrameByFrameProcessing)
{
    const std::vector<int> blocks = {0, 1, 2, 3, 0, 3, 2, 1, 1, 0, 2, 3, 64, 3, 2, 1, 0};
    for (int channels : {1, 2}) {
        for (bool inPlace : {false, true}) {
            int total = 0;
            for (int b : blocks)
                total += b;
            const std::vector<float> input = noise(static_cast<std::size_t>(total * channels), 7);
            auto byBlock = utility().make(channels);
            auto byFrame = utility().make(channels);
            // Guard floats after each block catch writes past its end.
            const float guard = 12345.0f;
            std::vector<float> out(input.size() + 8, guard);
            std::vector<float> expected(input.size());
            int at = 0;
            for (int b : blocks) {
                const std::size_t offset = static_cast<std::size_t>(at * channels);
                std::vector<float> work(
                    input.begin() + static_cast<long>(offset),
                    input.begin() +
                        static_cast<long>(offset + static_cast<std::size_t>(b * channels)));
                work.resize(work.size() + 8, guard);
                if (inPlace) {
                    utility().block(*byBlock, work.data(), work.data(), b);
                } else {
                    std::vector<float> result(work.size(), guard);
                    utility().block(*byBlock, result.data(), work.data(), b);
                    work = result;
                }
                for (std::size_t i = static_cast<std::size_t>(b * channels); i < work.size(); ++i)
                    ASSERT_EQ(work[i], guard) << "block of " << b << " wrote past its end";
                std::copy(work.begin(), work.begin() + b * channels,
                          out.begin() + static_cast<long>(offset));
                for (int f = 0; f < b; ++f)
                    utility().frame(*byFrame,
                                    &expected[offset + static_cast<std::size_t>(f * channels)],
                                    &input[offset + static_cast<std::size_t>(f * channels)]);
                at += b;
            }
            for (std::size_t i = 0; i < expected.size(); ++i)
                ASSERT_EQ(out[i], expected[i]) << "sample " << i << ", channels " << channels;
        }
    }
}

TEST_P(FilterUtilities, SetupRefusesOtherChannelCountsAndRates)
{
    auto f = utility().make(1);
    EXPECT_THROW(f->setup(3, 48000), std::invalid_argument);
    EXPECT_THROW(f->setup(0, 48000), std::invalid_argument);
    EXPECT_THROW(f->setup(2, 0), std::invalid_argument);
    EXPECT_EQ(f->getChannels(), 1);
    EXPECT_EQ(f->getSampleRate(), 48000.0f);
}

INSTANTIATE_TEST_SUITE_P(Utility, FilterUtilities,
                         ::testing::Range<std::size_t>(0, utilities().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return utilities()[info.param].name;
                         });

TEST(FilterUtilities, StartAtFortyFourPointOneKilohertzAsAPassThrough)
{
    utils::BiquadFilter biquad;
    utils::BilinFilter bilin;
    EXPECT_EQ(biquad.getSampleRate(), 44100.0f);
    EXPECT_EQ(bilin.getSampleRate(), 44100.0f);
    for (float x : {0.5f, -1.0f, 0.25f}) {
        float y = 0.0f;
        biquad.processFrame(&y, &x);
        EXPECT_EQ(y, x);
        bilin.processFrame(&y, &x);
        EXPECT_EQ(y, x);
    }
}

TEST(FilterUtilities, DesignsMatchTheirWrittenOutBilinearForms)
{
    // Low-pass, high-pass and band-pass against the formulas written out for
    // their H(s), in double.
    const double fs = 48000.0, w = 2.0 * 3.141592653589793 * 800.0, d = 0.7, c = 2.0 * fs;
    const double n = 1.0 / (c * c + w * w + c * w * d);
    utils::BiquadFilter f;
    f.setup(1, 48000);
    auto near = [](float got, double want) {
        EXPECT_NEAR(got, want, 1e-5 * std::max(1.0, std::fabs(want)));
    };
    f.designLowPass(static_cast<float>(w), static_cast<float>(d));
    near(f.getCoefficients().b0, w * w * n);
    near(f.getCoefficients().b1, 2 * w * w * n);
    near(f.getCoefficients().a1, 2 * (w * w - c * c) * n);
    near(f.getCoefficients().a2, (c * c + w * w - c * w * d) * n);
    f.designHighPass(static_cast<float>(w), static_cast<float>(d));
    near(f.getCoefficients().b0, c * c * n);
    near(f.getCoefficients().b1, -2 * c * c * n);
    f.designBandPass(static_cast<float>(w), static_cast<float>(d));
    near(f.getCoefficients().b0, c * w * d * n);
    near(f.getCoefficients().b1, 0.0);
    near(f.getCoefficients().b2, -c * w * d * n);

    utils::BilinFilter g;
    g.setup(1, 48000);
    const double n1 = 1.0 / (c + w);
    g.designLowPass(static_cast<float>(w));
    near(g.getCoefficients().b0, w * n1);
    near(g.getCoefficients().b1, w * n1);
    near(g.getCoefficients().a1, (w - c) * n1);
    g.designHighPass(static_cast<float>(w));
    near(g.getCoefficients().b0, c * n1);
    near(g.getCoefficients().b1, -c * n1);
}

} // namespace
