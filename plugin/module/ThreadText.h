#pragma once

#include <cstddef>
#include <string_view>

namespace Zq::BorvanRAZ {

// Texts a processor entry hands to a host are copied into a buffer of that
// entry and thread: another thread may reassign the source while the host is
// still copying, and a host on one thread must not see its text change under
// it because another thread asked too. The copy stays intact until the same
// thread calls the same entry again. The buffer is a plain array, so a thread
// that exits and a module that unloads have nothing to destroy.
inline constexpr std::size_t kThreadTextCapacity = 256;

template <int Entry> const char* threadText(std::string_view text) noexcept
{
    thread_local char buffer[kThreadTextCapacity];
    std::size_t length = text.size() < kThreadTextCapacity ? text.size() : kThreadTextCapacity - 1;
    // A cut never splits a UTF-8 sequence.
    if (length < text.size())
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    text.copy(buffer, length);
    buffer[length] = '\0';
    return buffer;
}

} // namespace Zq::BorvanRAZ
