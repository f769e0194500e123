#pragma once

#include "engine/modules/Gain.h"
#include "models/amps/TubeHead.h"
#include "models/amps/power/PowerAmpTraits.h"
#include "models/amps/stages/Function.h"
#include "models/amps/stages/HeadClippers.h"
#include "models/amps/stages/HeadGainDescriptors.h"
#include "models/amps/stages/MidEqV9E.h"
#include "models/amps/stages/RKMClassicStages.h"

namespace AudioEngine::BorvanQom {

namespace BorvanRKMClassicHeadTraitsDetails {
using GainDescriptorDb = HeadGainDescriptors::TrimDb;
// The gain knob with a log taper: Gain^log2(10), so 0.5 is -20 dB.
using GainDescriptor = HeadGainDescriptors::Knob;
} // namespace BorvanRKMClassicHeadTraitsDetails

struct BorvanRKMClassicHeadTraits {
    using Level = GaindB<BorvanRKMClassicHeadTraitsDetails::GainDescriptorDb>;
    using Gain = GainLog<BorvanRKMClassicHeadTraitsDetails::GainDescriptor>;
    using Clipper1 = Function<BorvanRKMClassicHeadTraitsDetails::ClipperDetails::Clipper1>;
    using Clipper2 = Function<BorvanRKMClassicHeadTraitsDetails::ClipperDetails::Clipper2>;
    using Clipper4 = Function<BorvanRKMClassicHeadTraitsDetails::ClipperDetails::Clipper4>;
    using HPF1 = BorvanRKMClassicHeadTraitsDetails::HPF1;
    using HPF2 = BorvanRKMClassicHeadTraitsDetails::HPF2;
    using HPF4 = BorvanRKMClassicHeadTraitsDetails::HPF4;
    using UltraLo = BorvanRKMClassicHeadTraitsDetails::UltraLo;
    using UltraHi = BorvanRKMClassicHeadTraitsDetails::UltraHi;
    using ToneEq = CX1::ToneEq<BorvanRKMClassicHeadTraitsDetails::BaxandallSchematic>;
    using MidEq = MidEqDetails::MidEqV9E;
    using PowerAmp = PowerAmpBorvanRKMClassicHead;
    static constexpr const char* powerAmpName = "PowerAmp";
};

// The RKM Classic tube head: the gain knob has a log taper, the power amp is
// "PowerAmp" with its two levels of detail.
template <class Traits> class BorvanRKMClassicHead : public TubeHead<Traits> {
public:
    BorvanRKMClassicHead() : TubeHead<Traits>(ModuleInfo{0, "BorvanRKMClassicHead", ""}) {}
};

} // namespace AudioEngine::BorvanQom
