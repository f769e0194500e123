#include "models/cabinet/CabinetBorvan.h"

#include "engine/core/Denormal.h"

#include <bit>
#include <cmath>

namespace AudioEngine::CabinetBorvanDetails {

std::uint32_t lengthFromPoints(float points) noexcept
{
    // floor(log2(x)) = floor(log2(floor(x))) for x >= 1, so the integer part decides.
    const float limited = points >= 1.0f ? std::min(points, 2048.0f) : 1.0f;
    return std::bit_floor(static_cast<std::uint32_t>(limited));
}

ParameterBase::States entryStates(const BorvanQom::ImpulseSetBase& set)
{
    ParameterBase::States states;
    for (const auto& entry : set.getEntries())
        states.add(entry.name);
    return states;
}

void copyFinite(const float* in, float* out, std::uint32_t n) noexcept
{
    for (std::uint32_t i = 0; i < n; ++i)
        out[i] = std::isfinite(in[i]) ? in[i] : 0.0f;
}

void mix(const float* woofer, const float* tweeter, float gain, float* out,
         std::uint32_t n) noexcept
{
    for (std::uint32_t i = 0; i < n; ++i)
        out[i] = flushedDenormal(woofer[i] + gain * tweeter[i]);
}

} // namespace AudioEngine::CabinetBorvanDetails
