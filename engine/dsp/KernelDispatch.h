#pragma once

#include "platform/ProcessorIdentity.h"

#include <cstdint>
#include <functional>

namespace utils {

// Bits of the feature word. Only kFeatureSse selects anything (the SSE kernel
// set); the others record what the vendor-specific checks saw.
constexpr std::uint32_t kFeatureSse = 0x80;   // Intel with SSE, state saved by the system
constexpr std::uint32_t kFeatureIntel = 0x01; // GenuineIntel
constexpr std::uint32_t kFeatureAmd = 0x02;   // AuthenticAMD
constexpr std::uint32_t kFeatureCyrix = 0x03; // CyrixInstead: both vendor bits
constexpr std::uint32_t kFeatureMmx = 0x10;
constexpr std::uint32_t kFeatureP6 = 0x20;    // Intel family 6 or later
constexpr std::uint32_t kFeature3dNow = 0x40; // AMD extended flags

// The feature word of a processor, with the bits of disableMask cleared:
//   GenuineIntel  with SSE: 0xB1 when the system saves the SSE state, else 0x31;
//                 without: 0x01, plus 0x10 with MMX and 0x20 from family 6 on.
//   AuthenticAMD  0x52 with 3DNow! in the extended flags, 0x12 with MMX, else 0x02.
//   CyrixInstead  0x13 with MMX, else 0x03.
//   any other     0x10 with MMX, else 0.
std::uint32_t checkProcessor(const platform::ProcessorIdentity& identity,
                             std::uint32_t disableMask) noexcept;

// The same for the processor that the current query reports.
std::uint32_t checkProcessor(std::uint32_t disableMask);

// Where the processor check gets its answers. platform::queryProcessor unless
// replaced; tests put in Intel, AMD, Cyrix and other processors. An empty
// function restores the real query. Returns the query it replaces.
using ProcessorQuery = std::function<platform::ProcessorIdentity()>;
ProcessorQuery setProcessorQuery(ProcessorQuery query);

// Chooses the kernel set: the feature word is checkProcessor(disableMask); with
// kFeatureSse the SSE set is installed and "Katmai Optimizaions\n" reported to
// the debug output, otherwise the plain set and "Blend Optimizaions\n" (the
// spelling is what log watchers match). Then the noise table is refilled. The
// module host passes 128, which keeps the plain set on every processor.
//
// Set-up time, any thread: calls are serialised, and the table of kernels is
// swapped in one step, so an engine already playing on another thread keeps
// working through the switch.
void initKernels(std::uint32_t disableMask);

// The feature word of the last initKernels (0 before any).
std::uint32_t getFeatures() noexcept;

} // namespace utils
