// ctest-label: tsan
#include "AutomationFixtures.h"

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>

namespace {

using ConcurrencyTest = test::AutomationTest;

// Host writes, host reads and model switches from three threads at once; the
// run is bounded by a count of rounds and by time, whichever ends first.
TEST_F(ConcurrencyTest, writesReadsAndSwitchesLeaveEveryRecordEqualToItsAdapter)
{
    constexpr int kRounds = 20000;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    std::atomic<bool> stop{false};
    auto over = [&](int round) {
        return round >= kRounds || stop || std::chrono::steady_clock::now() > deadline;
    };

    std::thread writer([&] {
        std::mt19937 random(1);
        std::uniform_int_distribution<int> index(-2, 108);
        std::uniform_real_distribution<float> normalized(-0.1f, 1.1f);
        std::uniform_real_distribution<float> plain(-20.0f, 600.0f);
        for (int round = 0; !over(round); ++round) {
            if (round % 2)
                t->setParameterNormalized(t, index(random), normalized(random));
            else
                t->setParameterValue(t, index(random), plain(random));
        }
    });
    std::thread reader([&] {
        std::mt19937 random(2);
        std::uniform_int_distribution<int> index(-2, 108);
        std::size_t characters = 0;
        for (int round = 0; !over(round); ++round) {
            const int i = index(random);
            characters += std::string(t->getParameterDisplay(t, i)).size();
            characters += std::string(t->getParameterTextForNormalized(t, i, 0.5f)).size();
            characters += std::string(t->getParameterName(t, i)).size();
            t->getParameterValue(t, i);
            t->convertNormalizedToPlain(t, i, 0.3f);
        }
        EXPECT_GT(characters, 0u);
    });
    std::thread switcher([&] {
        std::mt19937 random(3);
        std::uniform_int_distribution<int> slot(0, 5);
        std::uniform_int_distribution<int> model(0, 8);
        std::uniform_int_distribution<int> amp(0, 3);
        for (int round = 0; !over(round * 20); ++round) {
            platform::ScopedEnter guard(*rig.getLock());
            if (round % 4 == 0)
                rig.getAmpModule().ampModel.setValue(static_cast<float>(amp(random)), true);
            else
                rig.getStompModule().stomps[slot(random)].setValue(
                    static_cast<float>(model(random)), true);
        }
    });
    writer.join();
    reader.join();
    stop = true;
    switcher.join();
    manager.waitUntilApplied();

    Zq::Application::DocView::AutomationList& list = manager.getList();
    platform::ScopedEnter documentGuard(*rig.getLock());
    platform::ScopedEnter listGuard(list.getLock());
    for (int i = 0; i < list.getCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(manager.getParameterDisplay(i), list.getDisplayText(i));
        EXPECT_EQ(manager.getParameterValue(i), list.getValue(i));
        EXPECT_EQ(manager.getParameterNormalized(i), list.getNormalized(i));
    }
}

} // namespace
