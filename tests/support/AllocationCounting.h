#pragma once

// The counters and switches of the replaced allocation functions of
// CountingAllocator.h, for the other source files of an executable that
// includes it once.

#include <atomic>
#include <cstdlib>
#include <new>

namespace test::allocations {

inline thread_local bool countingThisThread = false;
inline thread_local std::size_t failingAbove = static_cast<std::size_t>(-1);
inline std::atomic<std::size_t> failingAboveEverywhere{static_cast<std::size_t>(-1)};
inline std::atomic<long> counted{0};

// Counts on this thread while alive.
class Counting {
public:
    Counting() noexcept { countingThisThread = true; }
    ~Counting() { countingThisThread = false; }
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;
};

// While alive, this thread's allocations of more than bytes fail as if memory
// had run out.
class FailingAbove {
public:
    explicit FailingAbove(std::size_t bytes) noexcept { failingAbove = bytes; }
    ~FailingAbove() { failingAbove = static_cast<std::size_t>(-1); }
    FailingAbove(const FailingAbove&) = delete;
    FailingAbove& operator=(const FailingAbove&) = delete;
};

// The same for every thread of the process.
class FailingAboveOnEveryThread {
public:
    explicit FailingAboveOnEveryThread(std::size_t bytes) noexcept
    {
        failingAboveEverywhere = bytes;
    }
    ~FailingAboveOnEveryThread() { failingAboveEverywhere = static_cast<std::size_t>(-1); }
    FailingAboveOnEveryThread(const FailingAboveOnEveryThread&) = delete;
    FailingAboveOnEveryThread& operator=(const FailingAboveOnEveryThread&) = delete;
};

// The allocations counted so far; the count starts again at zero.
inline long take() noexcept
{
    return counted.exchange(0);
}

inline void* allocate(std::size_t n)
{
    if (countingThisThread)
        counted.fetch_add(1, std::memory_order_relaxed);
    if (n > failingAbove || n > failingAboveEverywhere.load(std::memory_order_relaxed))
        throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}

inline void* allocateAligned(std::size_t n, std::align_val_t alignment)
{
    if (countingThisThread)
        counted.fetch_add(1, std::memory_order_relaxed);
    const auto a = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(a, (n + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}

} // namespace test::allocations
