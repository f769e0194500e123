// The whole rig through the processor's table at every host rate and block
// size a host may choose: finite sound on both channels once the four samples
// of latency have passed, the in-place entry and the mono layouts agreeing
// with the plain stereo run of a twin, and blocks longer than the last
// announced block size.

#include "ProcessorFixtures.h"

#include "platform/CriticalSection.h"

#include <algorithm>
#include <array>

namespace {

using test::Processor;

constexpr int kLatency = 4;

void ambienceUp(Processor& p)
{
    auto& rig = p.processor.getDocument();
    platform::ScopedEnter guard(*rig.getLock());
    auto& ambience = rig.getCabModule().ambience;
    ambience.setValue(ambience.getRange().getMax(), true); // left and right differ
}

TEST(ProcessorAudio, everyRateAndBlockSizeSoundsAndEveryLayoutAgreesWithTheStereoRun)
{
    const std::array<int, 9> blocks = {1, 3, 17, 64, 100, 512, 1000, 4096, 8192};
    for (float rate : {22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f}) {
        SCOPED_TRACE(testing::Message() << rate << " Hz");
        // Four twins fed the same: stereo through process, stereo in place,
        // mono in, mono out.
        Processor stereo, inPlace, monoIn, monoOut;
        monoIn->setNumInputChannels(monoIn.t, 1);
        monoOut->setNumOutputChannels(monoOut.t, 1);
        for (Processor* p : {&stereo, &inPlace, &monoIn, &monoOut}) {
            ambienceUp(*p);
            (*p)->setSampleRate(p->t, rate);
            // Every block past the first few is longer than this.
            (*p)->setBlockSize(p->t, 64);
            (*p)->resume(p->t);
        }

        test::Sine sine{110.0, rate, 0.5f};
        bool first = true;
        for (int block : blocks) {
            SCOPED_TRACE(testing::Message() << "block " << block);
            const int frames = block * std::max(1, 600 / block);
            const std::vector<float> input = sine.next(frames);
            std::vector<float> left(frames), right(frames);
            std::vector<float> placeL(input), placeR(input);
            std::vector<float> monoL(frames), monoR(frames);
            std::vector<float> foldL(frames), kept(frames, 9.0f);
            for (int offset = 0; offset < frames; offset += block) {
                float* in = const_cast<float*>(input.data()) + offset;
                float* stereoIn[2] = {in, in};
                float* stereoOut[2] = {left.data() + offset, right.data() + offset};
                stereo->process(stereo.t, stereoIn, stereoOut, block, nullptr);

                float* both[2] = {placeL.data() + offset, placeR.data() + offset};
                inPlace->processInPlace(inPlace.t, both, block, nullptr);

                float* oneIn[1] = {in};
                float* monoOutputs[2] = {monoL.data() + offset, monoR.data() + offset};
                monoIn->process(monoIn.t, oneIn, monoOutputs, block, nullptr);

                float* foldOut[2] = {foldL.data() + offset, kept.data() + offset};
                monoOut->process(monoOut.t, stereoIn, foldOut, block, nullptr);
            }

            ASSERT_TRUE(test::allFinite(left) && test::allFinite(right));
            const int from = first ? kLatency : 0;
            for (const auto* channel : {&left, &right}) {
                const double rms =
                    std::sqrt(test::energy(channel->data() + from, channel->data() + frames) /
                              (frames - from));
                EXPECT_GT(rms, 1e-3) << "silent";
            }
            EXPECT_EQ(placeL, left);
            EXPECT_EQ(placeR, right);
            EXPECT_EQ(monoL, left) << "a mono input is the stereo fold of two equal channels";
            EXPECT_EQ(monoR, right);
            bool folded = true;
            for (int i = 0; i < frames; ++i)
                folded = folded && foldL[i] == (right[i] + left[i]) * 0.5f && kept[i] == 9.0f;
            EXPECT_TRUE(folded) << "a mono output is half the sum and leaves channel 1 alone";
            first = false;
        }
    }
}

} // namespace
