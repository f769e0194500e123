#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace utils::kernelChecks {

constexpr std::uint32_t padded(std::uint32_t count) noexcept
{
    return (count + 3u) & ~3u;
}

// Debug builds: the elements a kernel will touch must all be addressable (which
// only the address sanitizer can tell; there a short buffer fails here, naming
// the kernel's caller, rather than as an overrun deep in a loop), and a buffer
// for the SSE set must start on a 16-byte boundary. Release builds: nothing.
inline void checkBuffer([[maybe_unused]] const void* p, [[maybe_unused]] std::size_t bytes,
                        [[maybe_unused]] bool aligned) noexcept
{
#if !defined(NDEBUG)
    assert(!aligned || (reinterpret_cast<std::uintptr_t>(p) & 15u) == 0);
#if defined(__SANITIZE_ADDRESS__)
    assert(bytes == 0 || __asan_region_is_poisoned(const_cast<void*>(p), bytes) == nullptr);
#endif
#endif
}

} // namespace utils::kernelChecks
