#pragma once

#include <mutex>

namespace platform {

// A recursive lock with a try-enter, as the engine's callers expect of a critical
// section: the owning thread may enter again without blocking, and must leave as
// often as it entered before another thread gets in.
class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    // Blocks until this thread holds the section.
    void lock() { mutex_.lock(); }
    // Enters without waiting: true when this thread now holds the section
    // (always, when it held it already), false when another thread holds it.
    bool tryLock() noexcept { return mutex_.try_lock(); }
    // Leaves one level; only the holding thread may call it.
    void unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
};

} // namespace platform
