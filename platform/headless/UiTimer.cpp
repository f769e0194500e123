#include "platform/headless/UiTimer.h"

#include <chrono>

namespace platform::ui {

bool UiTimer::start(double seconds, std::function<void()> callback)
{
    stop();
    const long ms = seconds > 0.0 && seconds < 1e9 ? static_cast<long>(seconds * 1000.0) : 0;
    if (ms < 1 || !callback)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
    periodMs_ = ms;
    callback_ = std::move(callback);
    const unsigned generation = ++generation_;
    thread_ = std::thread([this, generation] { run(generation); });
    return true;
}

void UiTimer::stop()
{
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        ending = std::move(thread_);
    }
    wake_.notify_all();
    if (!ending.joinable())
        return;
    // From the callback itself the thread cannot be joined: it ends on its
    // own once the callback returns.
    if (ending.get_id() == std::this_thread::get_id())
        ending.detach();
    else
        ending.join();
    std::lock_guard<std::mutex> lock(mutex_);
    periodMs_ = 0;
}

bool UiTimer::running() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return thread_.joinable() && !stopping_;
}

void UiTimer::run(unsigned generation)
{
    using clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> lock(mutex_);
    const auto period = std::chrono::milliseconds(periodMs_);
    std::function<void()> callback = callback_;
    auto due = clock::now() + period;
    for (;;) {
        // A thread its own callback stopped runs on unjoined until it sees
        // the stop; a restart meanwhile belongs to a new thread.
        const auto ended = [this, generation] { return stopping_ || generation_ != generation; };
        if (wake_.wait_until(lock, due, ended))
            return;
        // Fixed rate on the monotonic clock; a late turn does not bunch up
        // the ticks that it missed.
        due += period;
        const auto now = clock::now();
        if (due < now)
            due = now + period;
        lock.unlock();
        callback();
        lock.lock();
    }
}

} // namespace platform::ui
