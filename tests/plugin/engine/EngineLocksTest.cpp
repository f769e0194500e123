// ctest-label: tsan
#include "EngineFixtures.h"

#include "plugin/rig/StompModels.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

using namespace test;

// A control thread changes knobs, switches and models under the document lock
// while the audio thread runs blocks with a changing tempo: no deadlock, no
// race (under ThreadSanitizer), and the output stays finite. Bounded: a few
// thousand blocks or five seconds, whichever ends first; a watchdog aborts
// after ten seconds without a block.
TEST(EngineLocks, ControlChangesWhileTheAudioThreadRuns)
{
    using Clock = std::chrono::steady_clock;
    Doc::Rig document;
    Eng::Main engine(document);

    constexpr int kBlocks = 3000;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::atomic<int> blocks{0};
    std::atomic<bool> done{false};
    std::atomic<bool> finite{true};

    std::thread audio([&] {
        Sine sine(110.0, 44100.0, 0.5f);
        std::minstd_rand rng(7);
        float in[512], left[512], right[512];
        const float* inputs[] = {in};
        float* outputs[] = {left, right};
        for (int i = 0; i < kBlocks && Clock::now() < deadline; ++i) {
            const int frames = 1 + static_cast<int>(rng() % 512);
            sine.fill(in, frames);
            const float tempos[] = {120.0f, 90.0f, 0.0f, std::numeric_limits<float>::quiet_NaN(),
                                    133.0f};
            engine.setTempo(tempos[(i / 7) % 5]);
            engine.process(inputs, outputs, frames);
            for (int k = 0; k < frames; ++k)
                if (!std::isfinite(left[k]) || !std::isfinite(right[k]))
                    finite = false;
            blocks.fetch_add(1, std::memory_order_relaxed);
        }
        done = true;
    });

    std::thread control([&] {
        std::minstd_rand rng(11);
        while (!done) {
            {
                platform::ScopedEnter lock(*document.getLock());
                auto& stomps = document.getStompModule();
                switch (rng() % 6) {
                case 0:
                    document.getAmpModule().ampModel.setValue(static_cast<float>(rng() % 4), true);
                    break;
                case 1:
                case 2: {
                    const int slot = static_cast<int>(rng() % 6);
                    // The analog delay often, so the tempo has someone to tell.
                    const float model = rng() % 2 ? 4.0f : static_cast<float>(rng() % 9);
                    stomps.stomps[static_cast<std::size_t>(slot)].setValue(model, true);
                    if (auto* delay = dynamic_cast<Doc::StompMemoryMan*>(stomps.getStomp(slot)))
                        delay->bpm.setValue(1.0f, true);
                    break;
                }
                case 3:
                    document.getCabModule().mute.setValue(static_cast<float>(rng() % 2), true);
                    document.getCabModule().ambience.setValue(static_cast<float>(rng() % 10), true);
                    break;
                case 4:
                    document.getTuner().bypass.setValue(static_cast<float>(rng() % 2), true);
                    break;
                default:
                    document.getOutput().mix.setValue(static_cast<float>(rng() % 101), true);
                    for (int slot = 0; slot < 6; ++slot)
                        if (auto* delay = dynamic_cast<Doc::StompMemoryMan*>(stomps.getStomp(slot)))
                            delay->delayBpm.setValue(static_cast<float>(rng() % 14), true);
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    int last = -1;
    auto lastProgress = Clock::now();
    while (!done) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const int now = blocks.load(std::memory_order_relaxed);
        if (now != last) {
            last = now;
            lastProgress = Clock::now();
        } else if (Clock::now() - lastProgress > std::chrono::seconds(10)) {
            std::fprintf(stderr, "EngineLocks: no block for 10 s after %d blocks: hung\n", now);
            std::abort();
        }
    }
    audio.join();
    control.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(blocks.load(), 0);
}
