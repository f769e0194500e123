// ctest-label: tsan
// Processors are made on any thread: sets that ask for the same new rate at once make its shared
// responses once and all read the one copy.
#include "models/cabinet/ImpulseSets.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace AudioEngine::BorvanQom;

TEST(SharedResponsesThreads, SetsPreparedAtOnceOnSeveralThreadsShareOneCopy)
{
    constexpr int kThreads = 4;
    // A rate no other test of this process prepares.
    constexpr double kRate = 37800.0;
    const std::uint64_t before = ImpulseSetBase::getSynthesisCount();
    std::array<std::unique_ptr<WooferModels::ImpulseSet>, kThreads> sets;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&sets, t] {
            sets[t] = std::make_unique<WooferModels::ImpulseSet>();
            sets[t]->prepare(2048, kRate);
        });
    for (std::thread& thread : threads)
        thread.join();
    // 288 responses for each of the 12 lengths 1, 2, 4 .. 2048, once.
    EXPECT_EQ(ImpulseSetBase::getSynthesisCount() - before, 288u * 12);
    for (const auto& set : sets)
        EXPECT_EQ(set->getPreparedResponse(287), sets[0]->getPreparedResponse(287));
}

} // namespace
