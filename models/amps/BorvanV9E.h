#pragma once

#include "engine/host/ModuleCreators.h"
#include "engine/modules/Gain.h"
#include "engine/modules/ModuleSelector.h"
#include "models/amps/TubeHead.h"
#include "models/amps/power/PowerAmpTraits.h"
#include "models/amps/stages/Function.h"
#include "models/amps/stages/HeadClippers.h"
#include "models/amps/stages/HeadGainDescriptors.h"
#include "models/amps/stages/MidEqV9E.h"
#include "models/amps/stages/V9EStages.h"

namespace AudioEngine::BorvanQom {

namespace BorvanV9ETraitsDetails {

using GainDescriptorDb = HeadGainDescriptors::TrimDb;
// The gain knob, a plain factor.
using GainDescriptor = HeadGainDescriptors::Knob;

// The power modes, in the order of the "PowerMode" states: "50W" 0, "100W" 1.
struct PowerAmpSet : ModuleSelectorDetails::ModuleCreators {
    static constexpr const char* name = "PowerMode";
    PowerAmpSet()
    {
        add<PowerAmpBorvanV9E_50W>("50W");
        add<PowerAmpBorvanV9E_100W>("100W");
    }
};

// Both power amps show the same names, "DSM" included, so a switch carries the
// master, trims, "Variac", current gains and detail level over; only the
// curves and calibration change.
class PowerAmpSelector : public ModuleSelector<PowerAmpSet> {};

} // namespace BorvanV9ETraitsDetails

struct BorvanV9ETraits {
    using Level = GaindB<BorvanV9ETraitsDetails::GainDescriptorDb>;
    using Gain = AudioEngine::Gain<BorvanV9ETraitsDetails::GainDescriptor>;
    using Clipper1 = Function<BorvanV9ETraitsDetails::ClipperDetails::Clipper1>;
    using Clipper2 = Function<BorvanV9ETraitsDetails::ClipperDetails::UClipper2>;
    using Clipper4 = Function<BorvanV9ETraitsDetails::ClipperDetails::Clipper4>;
    using HPF1 = BorvanV9ETraitsDetails::HPF1;
    using HPF2 = BorvanV9ETraitsDetails::HPF2;
    using HPF4 = BorvanV9ETraitsDetails::HPF4;
    using UltraLo = BorvanV9ETraitsDetails::UltraLo;
    using UltraHi = BorvanV9ETraitsDetails::UltraHi;
    using ToneEq = CX1::ToneEq<BorvanV9ETraitsDetails::BaxandallSchematic>;
    using MidEq = MidEqDetails::MidEqV9E;
    using PowerAmp = BorvanV9ETraitsDetails::PowerAmpSelector;
    static constexpr const char* powerAmpName = "PowerAmpSelector";
};

// The V9E all-tube head: the RKM Classic's layout with its own tube curves, a
// closed-form second stage, its own filter corners, a plain gain knob and a
// tube power amp in one of two power modes, "PowerMode" "50W" or "100W".
template <class Traits> class BorvanV9E : public TubeHead<Traits> {
public:
    BorvanV9E() : TubeHead<Traits>(ModuleInfo{0, "BorvanV9E", ""}) {}

    void createParameters() override
    {
        TubeHead<Traits>::createParameters();
        static constexpr ModuleStructuredDetails::ParameterLink powerMode[] = {
            {"PowerMode", Traits::powerAmpName, "PowerMode"}};
        this->linkParameters(powerMode);
    }
};

} // namespace AudioEngine::BorvanQom
