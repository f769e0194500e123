// ctest-label: tsan
// A host's two threads at once over the real module: the audio thread
// processes and automates while the UI thread switches programs and loads
// banks. Bounded by a count of rounds, not by time; run it under
// ThreadSanitizer to see the races it would hide.

#include "VstTestHost.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace {

using namespace test;

using ThreadTest = BridgeTest;

TEST_F(ThreadTest, audioAndAutomationRunWhileTheUiSwitchesProgramsAndLoadsBanks)
{
    Effect effect(open());
    ASSERT_TRUE(effect);
    constexpr int kFrames = 64;
    effect(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect(effSetBlockSize, 0, kFrames);
    effect(effMainsChanged, 0, 1);
    const std::string bank = effect.chunk(false);
    ASSERT_FALSE(bank.empty());
    const std::int32_t parameters = effect->numParams;
    ASSERT_GT(parameters, 0);

    std::atomic<bool> uiDone{false};
    std::atomic<int> audioBlocks{0};
    bool finite = true;
    bool valuesFinite = true;
    std::thread audio([&] {
        // At least as many blocks as the UI has rounds, and on until it ends.
        finite = runAudioBlocks(effect.get(), kFrames, uiDone, [&](int block) {
            const std::int32_t index = block % parameters;
            effect->setParameter(effect.get(), index, static_cast<float>(block % 11) / 10.0f);
            valuesFinite = valuesFinite && std::isfinite(effect->getParameter(effect.get(), index));
            audioBlocks.fetch_add(1);
        });
    });

    for (int round = 0; round < 60; ++round) {
        effect(effSetProgram, 0, round % 4);
        if (round % 10 == 9)
            effect.setChunk(bank, false);
        if (round % 15 == 14)
            effect.chunk(false);
    }
    uiDone.store(true);
    audio.join();

    EXPECT_TRUE(finite);
    EXPECT_TRUE(valuesFinite);
    EXPECT_GE(audioBlocks.load(), 200);
    effect(effMainsChanged, 0, 0);
}

} // namespace
