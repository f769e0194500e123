#include "engine/core/EnvironmentHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

using namespace AudioEngine;

namespace {

struct Cut {
    std::uint32_t chunk, take;
    bool operator==(const Cut&) const = default;
};

// A one-channel host environment whose "chain" passes its input FIFO on, and
// which records every piece it is asked to process.
class Recorder : public EnvironmentHost<64, 4> {
public:
    Recorder() { hostOutputs_.push_back(std::make_unique<EnvironmentHostDetails::HostOutput>()); }

    float getSampleRate() const override { return 44100.0f; }
    std::int32_t getLatency() const override { return 4; }
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }
    std::uint32_t getInputCount() const override { return 1; }
    std::uint32_t getOutputCount() const override { return 1; }
    const float* getOutputBuffer(std::uint32_t) const override { return chain_.data(); }

    void processChunk() override
    {
        // Here the input FIFO holds the fill before the piece plus its take.
        const std::uint32_t take = inputFill_ - fillBefore_;
        pieces.push_back({chunkSize_, take});
        invariantsHeld = invariantsHeld && fillBefore_ >= 1 && fillBefore_ <= 4 &&
                         fillBefore_ + outputFill_ == 4 && chunkSize_ % 4 == 0 && chunkSize_ <= 64;
        fillBefore_ = inputFill_ - chunkSize_;
        // The "chain" copies what the host output presents, as a module would.
        std::copy_n(hostOutputs_[0]->getBuffer(), chunkSize_, chain_.begin());
    }

    std::vector<Cut> run(std::uint32_t frames)
    {
        pieces.clear();
        std::vector<float> in(frames), out(frames);
        const float* inputs[] = {in.data()};
        float* outputs[] = {out.data()};
        processHost(inputs, outputs, frames);
        return pieces;
    }

    std::vector<Cut> pieces;
    bool invariantsHeld = true;

private:
    std::uint32_t fillBefore_ = 4;
    std::array<float, 64> chain_{};
};

std::vector<Cut> repeat(Cut piece, int count)
{
    return std::vector<Cut>(count, piece);
}

} // namespace

TEST(PieceSplitting, HostBlocksAreCutIntoPiecesOfAtMost64)
{
    auto longBlock = repeat({64, 64}, 15);
    longBlock.push_back({60, 60});
    longBlock.push_back({4, 3});

    const struct {
        const char* name;
        std::vector<std::uint32_t> calls;
        std::vector<Cut> lastCall;
        std::uint32_t fill, outputFill;
    } cases[] = {
        {"64", {64}, {{64, 64}}, 4, 0},
        {"100", {100}, {{64, 64}, {36, 36}}, 4, 0},
        {"101", {101}, {{64, 64}, {36, 36}, {4, 1}}, 1, 3},
        {"101 then 64", {101, 64}, {{60, 63}, {4, 1}}, 1, 3},
        {"1023", {1023}, longBlock, 3, 1},
        {"0", {0}, {}, 4, 0},
        {"fill 3 then 1 frame", {3, 1}, {{0, 1}}, 4, 0},
        // Too short for any piece: served from the output FIFO alone.
        {"fill 1 then 1 frame", {1, 1}, {{0, 1}}, 2, 2},
        {"fill 1 then 2 frames", {1, 2}, {{0, 2}}, 3, 1},
        {"fill 2 then 1 frame", {2, 1}, {{0, 1}}, 3, 1},
    };
    for (const auto& c : cases) {
        Recorder recorder;
        std::vector<Cut> last;
        for (std::uint32_t frames : c.calls)
            last = recorder.run(frames);
        EXPECT_EQ(last, c.lastCall) << c.name;
        EXPECT_EQ(recorder.getInputFill(), c.fill) << c.name;
        EXPECT_EQ(recorder.getOutputFill(), c.outputFill) << c.name;
        EXPECT_TRUE(recorder.invariantsHeld) << c.name;
    }
}

TEST(PieceSplitting, OutputLagsInputByExactlyFourSamplesForAnyBlockSizes)
{
    Recorder recorder;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> size(1, 8192);
    std::uniform_int_distribution<std::uint32_t> tiny(1, 3);

    std::vector<float> sent, received;
    float next = 1.0f;
    for (int call = 0; call < 120; ++call) {
        const std::uint32_t frames = call % 3 == 0   ? tiny(random)
                                     : call % 3 == 1 ? size(random) % 97 + 1
                                                     : size(random);
        std::vector<float> in(frames), out(frames, -1.0f);
        for (float& x : in)
            x = next++;
        const float* inputs[] = {in.data()};
        float* outputs[] = {out.data()};
        recorder.processHost(inputs, outputs, frames);
        sent.insert(sent.end(), in.begin(), in.end());
        received.insert(received.end(), out.begin(), out.end());
        ASSERT_GE(recorder.getInputFill(), 1u);
        ASSERT_LE(recorder.getInputFill(), 4u);
        ASSERT_EQ(recorder.getInputFill() + recorder.getOutputFill(), 4u);
    }
    EXPECT_TRUE(recorder.invariantsHeld);
    for (std::size_t t = 0; t < received.size(); ++t)
        ASSERT_EQ(received[t], t < 4 ? 0.0f : sent[t - 4]) << "frame " << t;
}
