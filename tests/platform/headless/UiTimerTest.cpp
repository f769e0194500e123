// ctest-label: tsan
#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

#include "platform/headless/UiTimer.h"

using platform::ui::UiTimer;

namespace {

// Counts ticks and lets the test wait for a number of them.
struct Ticks {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;

    void tick()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++count;
        changed.notify_all();
    }
    bool waitFor(int wanted)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return count >= wanted; });
    }
    int value()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return count;
    }
};

TEST(UiTimerTest, TicksRepeatOnTheTimerThreadUntilStopped)
{
    Ticks ticks;
    UiTimer timer;
    std::thread::id callbackThread;
    ASSERT_TRUE(timer.start(0.0015, [&] {
        callbackThread = std::this_thread::get_id();
        ticks.tick();
    }));
    EXPECT_EQ(timer.periodMs(), 1); // the fraction of a millisecond is dropped
    EXPECT_TRUE(ticks.waitFor(3));
    timer.stop();
    EXPECT_FALSE(timer.running());
    const int stoppedAt = ticks.value();
    EXPECT_NE(callbackThread, std::this_thread::get_id());
    // After stop() has returned no callback runs any more.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(ticks.value(), stoppedAt);
}

TEST(UiTimerTest, PeriodsBelowOneMillisecondStartNothing)
{
    UiTimer timer;
    for (double seconds : {0.0, 0.0009, -1.0})
        EXPECT_FALSE(timer.start(seconds, [] {})) << seconds;
    EXPECT_FALSE(timer.running());
}

TEST(UiTimerTest, CallbackMayStopItsOwnTimerAndARestartReplacesIt)
{
    Ticks ticks;
    UiTimer timer;
    ASSERT_TRUE(timer.start(0.001, [&] {
        timer.stop();
        ticks.tick();
    }));
    ASSERT_TRUE(ticks.waitFor(1));
    Ticks second;
    ASSERT_TRUE(timer.start(0.002, [&] { second.tick(); }));
    EXPECT_TRUE(second.waitFor(2));
    timer.stop();
    EXPECT_EQ(ticks.value(), 1);
}

} // namespace
