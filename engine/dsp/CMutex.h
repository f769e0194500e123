#pragma once

#include "platform/CriticalSection.h"

#include <cstdint>

namespace utils {

// A recursive lock that can be given up entirely and taken back to the same
// depth, for code that must let another thread in while it is nested inside
// several levels of its own locking.
class IMutex {
public:
    virtual ~IMutex() = default;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // Leaves every level this thread holds; returns how many that was.
    virtual std::int32_t releaseAll() = 0;
    // Enters the given number of levels again.
    virtual void reacquire(std::int32_t depth) = 0;
};

// The mixer effects' lock: a depth count over a platform critical section. The
// depth is touched only by the thread that holds the section.
class CMutex : public IMutex {
public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    // Blocks until held, then depth + 1.
    void lock() override;
    // Depth - 1, then leaves one level.
    void unlock() override;
    // Enters without waiting: true (and depth + 1) when entered, false when
    // another thread holds the lock. The one form the audio thread may use.
    bool tryLock();
    // Leaves as many levels as the depth says and sets it to 0; returns the
    // former depth. A depth below 1 is returned unchanged, leaving nothing.
    std::int32_t releaseAll() override;
    // Enters depth levels (nothing for depth < 1) and adds them to the depth:
    // after releaseAll, reacquire with its result restores the lock as it was.
    void reacquire(std::int32_t depth) override;

    // The depth as the holding thread sees it.
    std::int32_t getDepth() const noexcept { return depth_; }

private:
    std::int32_t depth_ = 0;
    platform::CriticalSection section_;
};

} // namespace utils
