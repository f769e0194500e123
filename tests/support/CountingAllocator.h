#pragma once

// Replaces the global allocation functions of a test executable with ones
// that count the allocations a thread makes while its counting flag is up.
// Include this header in exactly one source file of the executable.

#include "tests/support/MallocDeletes.h"
#include <atomic>
#include <cstdlib>
#include <new>

namespace test::allocations {

inline thread_local bool countingThisThread = false;
inline std::atomic<long> counted{0};

// Counts on this thread while alive.
class Counting {
public:
    Counting() noexcept { countingThisThread = true; }
    ~Counting() { countingThisThread = false; }
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;
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

void* operator new(std::size_t n)
{
    return test::allocations::allocate(n);
}
void* operator new[](std::size_t n)
{
    return test::allocations::allocate(n);
}
void* operator new(std::size_t n, std::align_val_t a)
{
    return test::allocations::allocateAligned(n, a);
}
void* operator new[](std::size_t n, std::align_val_t a)
{
    return test::allocations::allocateAligned(n, a);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}
