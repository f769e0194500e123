// ctest-label: tsan
// Its own executable, so that no other test has built the shared Hann table
// before these threads race to prepare their first effects.

#include "host/player/Taperizer.h"
#include "host/player/zqEfx.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

int constant(void*, float** buffers, std::int64_t, int frames)
{
    std::fill(buffers[0], buffers[0] + frames, 0.25f);
    return frames;
}

TEST(HannTable, EffectsPreparedOnManyThreadsAtOnceShareOneTableBuiltOnce)
{
    constexpr int kThreads = 6;
    std::vector<const float*> seen(kThreads, nullptr);
    std::vector<float> firstOutput(kThreads, -1.0f);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &seen, &firstOutput] {
            player::zqEfxBase* effect = zqEfxCreate(102);
            zqEfxSetSource(effect, nullptr, constant);
            zqEfxPrepare(effect);
            zqEfxSetParam(effect, 10005, 1.5f);
            std::vector<float> out(4096);
            float* buffers[1] = {out.data()};
            zqEfxProcess(effect, nullptr, buffers, 0, 4096);
            firstOutput[static_cast<std::size_t>(t)] = out[4000];
            seen[static_cast<std::size_t>(t)] = player::globalTaperizer().table();
            zqEfxDestroy(effect);
        });
    }
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(seen[static_cast<std::size_t>(t)], seen[0]);
        EXPECT_EQ(firstOutput[static_cast<std::size_t>(t)], firstOutput[0]);
    }
    EXPECT_EQ(player::globalTaperizer().table()[0], 0.0f);
    EXPECT_NEAR(player::globalTaperizer().table()[4096], 1.0f, 1e-6f);
}

} // namespace
