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

    // The same three under the names the plug-in's callers use: each enter
    // (or successful tryEnter) needs its leave.
    void enter() { lock(); }
    bool tryEnter() noexcept { return tryLock(); }
    void leave() { unlock(); }

private:
    std::recursive_mutex mutex_;
};

// Holds a critical section for one scope.
class ScopedEnter {
public:
    explicit ScopedEnter(CriticalSection& section) : section_(section) { section_.enter(); }
    ~ScopedEnter() { section_.leave(); }
    ScopedEnter(const ScopedEnter&) = delete;
    ScopedEnter& operator=(const ScopedEnter&) = delete;

private:
    CriticalSection& section_;
};

// Tries a critical section once, without waiting; holds it for the scope when
// it got it. The audio thread's way to a lock it must never wait for.
class ScopedTryEnter {
public:
    explicit ScopedTryEnter(CriticalSection& section) noexcept
        : section_(section), entered_(section.tryEnter())
    {
    }
    ~ScopedTryEnter()
    {
        if (entered_)
            section_.leave();
    }
    ScopedTryEnter(const ScopedTryEnter&) = delete;
    ScopedTryEnter& operator=(const ScopedTryEnter&) = delete;

    explicit operator bool() const noexcept { return entered_; }

private:
    CriticalSection& section_;
    bool entered_;
};

} // namespace platform
