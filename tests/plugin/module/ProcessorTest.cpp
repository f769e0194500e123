#include "ModuleFixtures.h"

#include "plugin/module/Process.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

using Zq::BorvanRAZ::Process;
using Channels = std::vector<std::vector<float>>;

// Runs the stereo input through process() in blocks of the given size and
// returns both output channels.
Channels render(Zq::DUZ2::ProcessTable* table, const Channels& input, int block)
{
    const int total = static_cast<int>(input[0].size());
    Channels output(2, std::vector<float>(total, -7.0f));
    for (int offset = 0; offset < total; offset += block) {
        const int frames = std::min(block, total - offset);
        float* ins[2] = {const_cast<float*>(input[0].data()) + offset,
                         const_cast<float*>(input[1].data()) + offset};
        float* outs[2] = {output[0].data() + offset, output[1].data() + offset};
        std::int32_t flags = 0;
        table->process(table, ins, outs, frames, &flags);
    }
    return output;
}

class ProcessorTest : public ::testing::Test {
protected:
    Zq::DUZ2::ProcessTable* t() { return processor.getTable(); }

    test::RecordingHost host;
    Process processor{host.getHostTable()};
};

TEST_F(ProcessorTest, constantAnswers)
{
    EXPECT_STREQ(t()->getName(t()), "BorvanQom");
    EXPECT_STREQ(t()->getVendor(t()), "Zq Sonware Production");
    EXPECT_EQ(t()->getFlags(t()), 0);
    EXPECT_EQ(t()->getNumInputs(t()), 2);
    EXPECT_EQ(t()->getNumOutputs(t()), 2);
}

TEST_F(ProcessorTest, monoInputIsReadDirectlyAndNeverTouchesASecondChannel)
{
    t()->setNumInputChannels(t(), 1);
    float in[4] = {1.0f, -0.5f, 0.25f, 0.0f};
    float left[4] = {};
    float right[4] = {};
    float* ins[1] = {in}; // a second input pointer would lie outside this array
    float* outs[2] = {left, right};
    t()->process(t(), ins, outs, 4, nullptr);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(left[i], in[i]);
        EXPECT_EQ(right[i], 0.5f * in[i]);
    }
}

TEST_F(ProcessorTest, stereoInputFoldsToHalfTheSum)
{
    float inL[2] = {1.0f, 0.5f};
    float inR[2] = {0.0f, -0.5f};
    float left[2] = {};
    float right[2] = {};
    float* ins[2] = {inL, inR};
    float* outs[2] = {left, right};
    t()->process(t(), ins, outs, 2, nullptr);
    EXPECT_EQ(left[0], 0.5f);
    EXPECT_EQ(right[0], 0.25f);
    EXPECT_EQ(left[1], 0.0f);
}

TEST_F(ProcessorTest, monoOutputIsHalfTheSumOfTheEnginesChannelsAndLeavesChannelOneAlone)
{
    t()->setNumInputChannels(t(), 1);
    t()->setNumOutputChannels(t(), 1);
    float in[3] = {1.0f, -2.0f, 0.5f};
    float out[3] = {};
    float untouched[3] = {9.0f, 9.0f, 9.0f};
    float* ins[1] = {in};
    float* outs[2] = {out, untouched};
    t()->process(t(), ins, outs, 3, nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i], (in[i] + 0.5f * in[i]) * 0.5f);
        EXPECT_EQ(untouched[i], 9.0f);
    }
}

TEST_F(ProcessorTest, processInPlaceEqualsProcessForEveryChannelLayout)
{
    const std::vector<float> l = {0.9f, -0.3f, 0.1f, 0.7f, -1.0f};
    const std::vector<float> r = {0.2f, 0.4f, -0.6f, 0.0f, 0.5f};
    for (int inputs : {1, 2}) {
        for (int outputs : {1, 2}) {
            SCOPED_TRACE(testing::Message() << inputs << " in, " << outputs << " out");
            t()->setNumInputChannels(t(), inputs);
            t()->setNumOutputChannels(t(), outputs);
            std::vector<float> inL = l, inR = r, outL(5, 3.0f), outR(5, 3.0f);
            float* ins[2] = {inL.data(), inR.data()};
            float* outs[2] = {outL.data(), outR.data()};
            t()->process(t(), ins, outs, 5, nullptr);

            std::vector<float> bothL = l, bothR = r;
            std::vector<float> keptR = r;
            float* both[2] = {bothL.data(), bothR.data()};
            t()->processInPlace(t(), both, 5, nullptr);
            EXPECT_EQ(bothL, outL);
            if (outputs == 2)
                EXPECT_EQ(bothR, outR);
            else
                EXPECT_EQ(bothR, keptR) << "a mono output leaves channel 1 as it was";
        }
    }
}

TEST_F(ProcessorTest, tempoIsAskedOncePerHostBlockAndPassedOnUnchanged)
{
    std::vector<float> in(8192, 0.1f), outL(8192), outR(8192);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    host.tempo = 97.5f;
    t()->process(t(), ins, outs, 64, nullptr);
    t()->process(t(), ins, outs, 8192, nullptr); // longer than the work buffers
    host.tempo = 140.0f;
    t()->process(t(), ins, outs, 1, nullptr);
    EXPECT_EQ(host.tempoCalls, 3);
    EXPECT_EQ(processor.getEngine().getTempoCalls(), 3);
    EXPECT_EQ(processor.getEngine().currentTempo(), 140.0f);

    Process hostless(nullptr);
    Zq::DUZ2::ProcessTable* table = hostless.getTable();
    table->process(table, ins, outs, 16, nullptr);
    EXPECT_EQ(hostless.getEngine().currentTempo(), 0.0f);
    EXPECT_EQ(hostless.getEngine().getTempoCalls(), 1);
}

TEST(ProcessorBlocks, everyBlockSizeRendersLikeSixtyFourFrameBlocks)
{
    const int total = 9000;
    Channels input(2, std::vector<float>(total));
    for (int i = 0; i < total; ++i) {
        input[0][i] = static_cast<float>((i * 37) % 101) / 101.0f - 0.5f;
        input[1][i] = static_cast<float>((i * 53) % 89) / 89.0f - 0.5f;
    }
    struct Setup {
        const char* name;
        std::int32_t blockSize; // -1: no setBlockSize at all
    };
    for (const Setup setup : {Setup{"no setBlockSize", -1}, Setup{"setBlockSize(0)", 0},
                              Setup{"setBlockSize(512)", 512}}) {
        for (int outputs : {1, 2}) {
            Process reference(nullptr);
            reference.getTable()->setNumOutputChannels(reference.getTable(), outputs);
            const Channels expected = render(reference.getTable(), input, 64);
            for (int block : {1, 7, 64, 1025, 8192}) {
                SCOPED_TRACE(testing::Message()
                             << setup.name << ", " << outputs << " out, block " << block);
                Process processor(nullptr);
                Zq::DUZ2::ProcessTable* table = processor.getTable();
                table->setNumOutputChannels(table, outputs);
                if (setup.blockSize >= 0)
                    table->setBlockSize(table, setup.blockSize);
                const Channels output = render(table, input, block);
                EXPECT_EQ(output[0], expected[0]);
                EXPECT_EQ(output[1], expected[1]);
                EXPECT_LE(processor.getEngine().getLongestRun(), processor.getBufferFrames());
            }
        }
    }
}

TEST(ProcessorBlocks, blockSizeSetsBothBuffersAndNonPositiveSizesKeepThem)
{
    Process processor(nullptr);
    Zq::DUZ2::ProcessTable* table = processor.getTable();
    EXPECT_EQ(processor.getBufferFrames(), 1024);
    table->setBlockSize(table, 512);
    EXPECT_EQ(processor.getBufferFrames(), 512);
    table->setBlockSize(table, 1024);
    EXPECT_EQ(processor.getBufferFrames(), 1024);
    table->setBlockSize(table, 0);
    table->setBlockSize(table, -64);
    EXPECT_EQ(processor.getBufferFrames(), 1024);
    table->setBlockSize(table, INT32_MAX);
    EXPECT_EQ(processor.getBufferFrames(), Process::kMaxBufferFrames);
}

TEST(ProcessorRate, theRateReachesTheEngineAndNonsenseRatesAreIgnored)
{
    Process processor(nullptr);
    Zq::DUZ2::ProcessTable* table = processor.getTable();
    EXPECT_EQ(processor.getSampleRate(), 44100.0f);
    table->setSampleRate(table, 96000.0f);
    for (float nonsense : {0.0f, -48000.0f, NAN, INFINITY})
        table->setSampleRate(table, nonsense);
    EXPECT_EQ(processor.getSampleRate(), 96000.0f);
    EXPECT_EQ(processor.getEngine().getSampleRate(), 96000.0f);
}

} // namespace
