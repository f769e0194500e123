#pragma once

// The host's minimal worker thread: a derived class supplies run(), which
// executes on a thread of its own and polls a cooperative keep-running flag.

#include <atomic>
#include <thread>

namespace player {

class someThread {
public:
    someThread() = default;
    // Joins. A derived class whose run() touches its own members must join in
    // its own destructor: by the time this one runs, those members are gone.
    virtual ~someThread();
    someThread(const someThread&) = delete;
    someThread& operator=(const someThread&) = delete;

    // Starts run() on a new thread; false when it could not be created or a
    // thread is already started and not joined.
    bool start();
    // Runs run() on the calling thread.
    void runHere();
    // Asks run() to return; it sees the flag cleared at its next poll.
    void requestStop() { keepRunning_.store(false, std::memory_order_release); }
    bool isRunning() const { return keepRunning_.load(std::memory_order_acquire); }
    // Clears the flag and waits, without a time limit, until run() returned.
    void join();
    // Whether a thread was started and not yet joined.
    bool started() const { return thread_.joinable(); }

protected:
    virtual void run() = 0;

private:
    std::thread thread_;
    std::atomic<bool> keepRunning_{false};
};

} // namespace player
