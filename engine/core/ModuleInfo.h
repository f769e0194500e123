#pragma once

#include <cstdint>
#include <string>

namespace AudioEngine {

// What a module is: its kind, a free description and its flag bits.
struct ModuleInfo {
    // "Out" may share the buffer of its input.
    static constexpr std::uint32_t kInPlace = 0x01;
    // In place allowed under the strict output policy (1) as well.
    static constexpr std::uint32_t kInPlaceStrict = 0x04;
    // Process with processBlockAlt (wins over kVector).
    static constexpr std::uint32_t kAlternative = 0x40;
    // Process with processBlockVector, four samples at a time.
    static constexpr std::uint32_t kVector = 0x80;

    std::uint32_t flags = 0;
    std::string type;
    std::string description;
};

} // namespace AudioEngine
