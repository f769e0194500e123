#pragma once

// Replaces the global allocation functions of a test executable with ones
// that remember the largest single request made while tracking is on, so a
// test can show that damaged input never asks for more than it holds.
// Include this header in exactly one source file of the executable.

#include "tests/support/MallocDeletes.h"
#include <atomic>
#include <cstdlib>
#include <new>

namespace test::largest {

inline std::atomic<bool> tracking{false};
inline std::atomic<std::size_t> largest{0};

// Tracks while alive; largest() is the biggest request since construction.
class Tracking {
public:
    Tracking() noexcept
    {
        largest = 0;
        tracking = true;
    }
    ~Tracking() { tracking = false; }
    Tracking(const Tracking&) = delete;
    Tracking& operator=(const Tracking&) = delete;
    std::size_t largestRequest() const noexcept { return largest.load(); }
};

inline void* allocate(std::size_t n) noexcept
{
    if (tracking.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load();
        while (n > seen && !largest.compare_exchange_weak(seen, n)) {
        }
    }
    return std::malloc(n ? n : 1);
}

} // namespace test::largest

void* operator new(std::size_t n)
{
    if (void* p = test::largest::allocate(n))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n)
{
    if (void* p = test::largest::allocate(n))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return test::largest::allocate(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    return test::largest::allocate(n);
}
