#pragma once

// Replaces the global allocation functions of a test executable with ones
// that count the allocations a thread makes while its counting flag is up.
// Include this header in exactly one source file of the executable (the others
// include AllocationCounting.h). It can also make a thread's large
// allocations fail, to drive the paths that handle running out of memory.

#include "tests/support/AllocationCounting.h"
#include "tests/support/MallocDeletes.h"
#include <atomic>
#include <cstdlib>
#include <new>

void* operator new(std::size_t n)
{
    return test::allocations::allocate(n);
}
void* operator new[](std::size_t n)
{
    return test::allocations::allocate(n);
}
// The non-throwing forms go through the same functions (a sanitizer's own
// would bypass them).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    try {
        return test::allocations::allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    try {
        return test::allocations::allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
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
