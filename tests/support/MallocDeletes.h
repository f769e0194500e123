#pragma once

// The delete operators that go with a test's replaced operator new when that
// allocates with malloc: free is the matching release. Included once per test
// executable, by the file that replaces operator new.

#include <cstdlib>
#include <new>

// GCC pairs these with the library's own new and warns; ours allocate with malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop
