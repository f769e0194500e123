#pragma once

#include "models/cabinet/CabinetTables.h"
#include "models/cabinet/ImpulseSetBase.h"

#include <cstdint>

namespace AudioEngine::BorvanQom {

namespace WooferModels {
// The woofer responses: 24 cabinet positions, 6 microphones ("C414" flat), 6 impedance curves.
class ImpulseSet : public ImpulseSetBase {
public:
    static constexpr std::uint32_t kLongestLength = 2048;
    ImpulseSet() : ImpulseSetBase(CabinetTables::kWooferTables, kLongestLength) {}
};
} // namespace WooferModels

namespace TweeterModels {
// The tweeter responses in the woofer set's shape: one table per cabinet (silent for the RKM810),
// flat microphones and impedance curves, so that the cabinet index serves both sets.
class ImpulseSet : public ImpulseSetBase {
public:
    static constexpr std::uint32_t kLongestLength = 256;
    ImpulseSet() : ImpulseSetBase(CabinetTables::kTweeterTables, kLongestLength) {}
};
} // namespace TweeterModels

// What a cabinet takes from each set: its type, and the length the cabinet prepares it with
// (the woofer's longest, which "Points" may shorten; the tweeter's, which is fixed).
struct WooferSetTraits {
    using ImpulseSet = WooferModels::ImpulseSet;
    static constexpr std::uint32_t kLength = ImpulseSet::kLongestLength;
};

struct TweeterSetTraits {
    using ImpulseSet = TweeterModels::ImpulseSet;
    static constexpr std::uint32_t kLength = ImpulseSet::kLongestLength;
};

} // namespace AudioEngine::BorvanQom
