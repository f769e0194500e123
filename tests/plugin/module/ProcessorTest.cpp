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

// A short loud signal: enough for the rig's 4-sample latency to pass and the
// whole chain to speak.
std::vector<float> tone(int frames, float step, float level = 0.5f)
{
    std::vector<float> signal(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        signal[static_cast<std::size_t>(i)] = level * std::sin(step * static_cast<float>(i));
    return signal;
}

// The ambience up: the two output channels differ.
void ambienceOn(Process& processor)
{
    Zq::BorvanRAZ::Document::Rig& rig = processor.getDocument();
    platform::ScopedEnter guard(*rig.getLock());
    rig.getCabModule().ambience.setValue(rig.getCabModule().ambience.getRange().getMax(), true);
}

// A second processor with the same history as the first: what one renders, the
// other renders too.
struct Twin {
    explicit Twin(int inputs = 2, int outputs = 2)
    {
        t->setNumInputChannels(t, inputs);
        t->setNumOutputChannels(t, outputs);
    }
    Process processor{nullptr};
    Zq::DUZ2::ProcessTable* t = processor.getTable();
};

TEST_F(ProcessorTest, monoInputIsReadDirectlyAndNeverTouchesASecondChannel)
{
    t()->setNumInputChannels(t(), 1);
    std::vector<float> in = tone(200, 0.07f);
    std::vector<float> left(200), right(200);
    float* ins[1] = {in.data()}; // a second input pointer would lie outside this array
    float* outs[2] = {left.data(), right.data()};
    t()->process(t(), ins, outs, 200, nullptr);

    // The same signal on both channels of a stereo twin folds to itself.
    Twin twin;
    std::vector<float> twinLeft(200), twinRight(200);
    float* twinIns[2] = {in.data(), in.data()};
    float* twinOuts[2] = {twinLeft.data(), twinRight.data()};
    twin.t->process(twin.t, twinIns, twinOuts, 200, nullptr);
    EXPECT_EQ(left, twinLeft);
    EXPECT_EQ(right, twinRight);
    EXPECT_NE(left, std::vector<float>(200, 0.0f));
}

TEST_F(ProcessorTest, stereoInputFoldsToHalfTheSum)
{
    // Left 1 and right 0 sound like a mono 0.5.
    std::vector<float> ones(200, 1.0f), zeros(200, 0.0f), halves(200, 0.5f);
    std::vector<float> left(200), right(200);
    float* ins[2] = {ones.data(), zeros.data()};
    float* outs[2] = {left.data(), right.data()};
    t()->process(t(), ins, outs, 200, nullptr);

    Twin twin(1, 2);
    std::vector<float> twinLeft(200), twinRight(200);
    float* twinIns[1] = {halves.data()};
    float* twinOuts[2] = {twinLeft.data(), twinRight.data()};
    twin.t->process(twin.t, twinIns, twinOuts, 200, nullptr);
    EXPECT_EQ(left, twinLeft);
    EXPECT_EQ(right, twinRight);
}

TEST_F(ProcessorTest, monoOutputIsHalfTheSumOfTheEnginesChannelsAndLeavesChannelOneAlone)
{
    constexpr int kFrames = 1200; // past the ambience's first reflection
    t()->setNumOutputChannels(t(), 1);
    ambienceOn(processor);
    std::vector<float> inL = tone(kFrames, 0.05f), inR = tone(kFrames, 0.11f, 0.3f);
    std::vector<float> out(kFrames), untouched(kFrames, 9.0f);
    float* ins[2] = {inL.data(), inR.data()};
    float* outs[2] = {out.data(), untouched.data()};
    t()->process(t(), ins, outs, kFrames, nullptr);

    Twin twin;
    ambienceOn(twin.processor);
    std::vector<float> twinLeft(kFrames), twinRight(kFrames);
    float* twinOuts[2] = {twinLeft.data(), twinRight.data()};
    twin.t->process(twin.t, ins, twinOuts, kFrames, nullptr);
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(out[i], (twinRight[i] + twinLeft[i]) * 0.5f) << i;
        ASSERT_EQ(untouched[i], 9.0f) << i;
    }
    EXPECT_NE(twinLeft, twinRight) << "the fold must have two different channels to mix";
}

TEST(ProcessorInPlace, processInPlaceEqualsProcessOnATwinForEveryChannelLayout)
{
    const std::vector<float> l = tone(150, 0.05f), r = tone(150, 0.02f, 0.2f);
    for (int inputs : {1, 2}) {
        for (int outputs : {1, 2}) {
            SCOPED_TRACE(testing::Message() << inputs << " in, " << outputs << " out");
            Twin separate(inputs, outputs), inPlace(inputs, outputs);
            std::vector<float> inL = l, inR = r, outL(150, 3.0f), outR(150, 3.0f);
            float* ins[2] = {inL.data(), inR.data()};
            float* outs[2] = {outL.data(), outR.data()};
            separate.t->process(separate.t, ins, outs, 150, nullptr);

            std::vector<float> bothL = l, bothR = r;
            float* both[2] = {bothL.data(), bothR.data()};
            inPlace.t->processInPlace(inPlace.t, both, 150, nullptr);
            EXPECT_EQ(bothL, outL);
            if (outputs == 2)
                EXPECT_EQ(bothR, outR);
            else
                EXPECT_EQ(bothR, r) << "a mono output leaves channel 1 as it was";
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
    EXPECT_EQ(processor.getEngine().currentTempo(), 97.5f);
    t()->process(t(), ins, outs, 8192, nullptr); // longer than the work buffers
    host.tempo = 140.0f;
    t()->process(t(), ins, outs, 1, nullptr);
    EXPECT_EQ(host.tempoCalls, 3);
    EXPECT_EQ(processor.getEngine().currentTempo(), 140.0f);

    Process hostless(nullptr);
    Zq::DUZ2::ProcessTable* table = hostless.getTable();
    table->process(table, ins, outs, 16, nullptr);
    EXPECT_EQ(hostless.getEngine().currentTempo(), 0.0f);
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
                // The rig's first piece covers the four samples of latency
                // and is as long as the first host call allows; the rig's
                // start-up transient in them follows that length.
                for (int k = 0; k < 2; ++k)
                    EXPECT_TRUE(
                        std::equal(output[k].begin() + 4, output[k].end(), expected[k].begin() + 4))
                        << "channel " << k;
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
    EXPECT_EQ(processor.getEngine().getFacade()->getModuleHost().getSampleRate(), 96000.0f);
}

} // namespace
