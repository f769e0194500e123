#pragma once

#include <cstdint>
#include <string>

namespace platform {

// What the processor identification instruction and the operating system say
// about the processor, as far as the choice of vector kernels needs it.
struct ProcessorIdentity {
    // Leaf 0: the 12-character vendor identification ("GenuineIntel",
    // "AuthenticAMD", "CyrixInstead", ...); empty where the instruction is missing.
    std::string vendor;
    // Leaf 1: version information (family, model, stepping) and feature flags.
    std::uint32_t version = 0;
    std::uint32_t featuresEdx = 0;
    std::uint32_t featuresEcx = 0;
    // Leaf 0x80000000: the highest extended leaf (0 where there is none), and
    // leaf 0x80000001's flags when that leaf exists.
    std::uint32_t maxExtendedLeaf = 0;
    std::uint32_t extendedEdx = 0;
    // The system saves and restores the SSE registers on a task switch, so SSE
    // code may run in any thread.
    bool systemSavesSseState = false;

    static constexpr std::uint32_t kMmx = 1u << 23;   // leaf 1, EDX
    static constexpr std::uint32_t kSse = 1u << 25;   // leaf 1, EDX
    static constexpr std::uint32_t k3dNow = 1u << 31; // leaf 0x80000001, EDX

    // The family, with the extended family added where the base family is 15.
    std::uint32_t family() const noexcept
    {
        const std::uint32_t base = (version >> 8) & 0xF;
        return base == 0xF ? base + ((version >> 20) & 0xFF) : base;
    }
};

// Asks this processor. On x86-64 Linux the kernel always saves the SSE state
// (FXSAVE is part of the architecture's baseline), so systemSavesSseState is
// true there; on other processors the answer is empty.
ProcessorIdentity queryProcessor();

} // namespace platform
