#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace platform::ui {

// A periodic timer on a thread of its own, paced by the monotonic clock: the
// callback runs on that thread, once per period, until stop(). Callers
// synchronise whatever the callback touches.
class UiTimer {
public:
    UiTimer() = default;
    ~UiTimer() { stop(); }
    UiTimer(const UiTimer&) = delete;
    UiTimer& operator=(const UiTimer&) = delete;

    // Whole milliseconds of the period (the fraction dropped); a period below
    // one millisecond starts nothing and gives false. A running timer is
    // stopped first.
    bool start(double seconds, std::function<void()> callback);
    // Waits for a running callback to end, unless called from the callback
    // itself (the timer must then outlive that callback); no callback starts
    // afterwards.
    void stop();
    bool running() const;
    long periodMs() const { return periodMs_; }

private:
    void run(unsigned generation);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    unsigned generation_ = 0;
    long periodMs_ = 0;
    std::function<void()> callback_;
    std::thread thread_;
};

} // namespace platform::ui
