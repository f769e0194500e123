// ctest-label: tsan
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

using test::win::WinApp;

namespace {

// Counts its timer calls and the thread they came on.
struct TimerTarget : epiApplicationObject {
    void onUiTimer() override
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls;
        thread = std::this_thread::get_id();
        changed.notify_all();
    }
    bool waitFor(int wanted)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return calls >= wanted; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    int calls = 0;
    std::thread::id thread;
};

TEST(WindowTimerTest, TimerCallsItsTargetOnTheTimerThreadUntilStopped)
{
    WinApp app;
    auto* window = new epiWindow;
    window->enableReferenceCount();
    ASSERT_TRUE(window->openAs(&app, epiCode("timr")));
    TimerTarget target;
    window->startTimer(0.002, &target);
    EXPECT_TRUE(target.waitFor(3));
    window->stopTimer();
    std::lock_guard<std::mutex> lock(target.mutex);
    EXPECT_NE(target.thread, std::this_thread::get_id());
}

} // namespace
