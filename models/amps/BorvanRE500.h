#pragma once

#include "engine/modules/Gain.h"
#include "models/amps/HeadWithPeakLed.h"
#include "models/amps/stages/Function.h"
#include "models/amps/stages/GraphicEq.h"
#include "models/amps/stages/GraphicEqTraits.h"
#include "models/amps/stages/HeadGainDescriptors.h"
#include "models/amps/stages/OpAmpClipFunction.h"
#include "models/amps/stages/PeakLedMeter.h"
#include "models/amps/stages/PeakLedMeterTraits.h"
#include "models/amps/stages/PowerAmpBorvanSolidState.h"
#include "models/amps/stages/RE500Stages.h"

namespace AudioEngine::BorvanQom {

namespace BorvanRE500TraitsDetails {
using GainDescriptorDb = HeadGainDescriptors::TrimDb;
} // namespace BorvanRE500TraitsDetails

struct BorvanRE500Traits {
    using Level = GaindB<BorvanRE500TraitsDetails::GainDescriptorDb>;
    using Gain = BorvanRE500TraitsDetails::Gain;
    using OpAmpStage1 = Function<BorvanRE500TraitsDetails::OpAmpClipFunction<14, 21>>;
    using OpAmpStage2 = Function<BorvanRE500TraitsDetails::OpAmpClipFunction<14, 27>>;
    using UltraMid = CX1::ToneEq<BorvanRE500TraitsDetails::UltraMidSchematic>;
    using ToneEq = CX1::ToneEq<BorvanRE500TraitsDetails::BaxandallSchematic>;
    using HPF = BorvanRE500TraitsDetails::HPF;
    using GraphicEq = BorvanQom::GraphicEq<RE500GEQTraits>;
    using PowerAmp = PowerAmpBorvanSolidState<PowerAmpBorvanSolidStateTraits>;
    using PeakLed = PeakLedMeter<BorvanRE500TraitsDetails::PeakLedMeterTraits>;
};

// The RE500 solid-state head: a trim, the gain pot whose bandwidth shrinks as
// its gain rises, two op-amp stages that clip hard at the rails with the
// active "UltraMid" network between them, a Baxandall bass and treble stack, a
// 15 Hz high-pass, the nine-band graphic equaliser and the solid-state power
// amp with its limiter. "PreampPeak" lights when either op-amp stage clips,
// whatever the tone controls do afterwards.
template <class Traits> class BorvanRE500 : public HeadWithPeakLed {
public:
    BorvanRE500() : HeadWithPeakLed(ModuleInfo{0, "BorvanRE500", ""}) {}

    void createSubModules() override
    {
        addSubModule<typename Traits::Level>("LevelPreamp");
        addSubModule<typename Traits::Gain>("Gain");
        addSubModule<typename Traits::OpAmpStage1>("OpAmpStage1");
        addSubModule<typename Traits::UltraMid>("UltraMid");
        addSubModule<typename Traits::OpAmpStage2>("OpAmpStage2");
        addSubModule<typename Traits::ToneEq>("BaxandallToneEq");
        addSubModule<typename Traits::HPF>("HPF");
        addSubModule<typename Traits::GraphicEq>("GraphicEq");
        addSubModule<typename Traits::PowerAmp>("PowerAmp");
        addSubModule<typename Traits::PeakLed>("PeakLed");
    }

    void connectSubModules() override
    {
        static constexpr std::string_view taps[] = {"OpAmpStage1", "OpAmpStage2"};
        connectWithPeakLed(taps);
    }

    // The pad, gain, equaliser and power-amp names are the stages' own.
    void createParameters() override
    {
        static constexpr ModuleStructuredDetails::ParameterLink links[] = {
            {"GainAdjPre", "LevelPreamp", "Gain"},   {"Bass", "BaxandallToneEq", "Bass"},
            {"Treble", "BaxandallToneEq", "Treble"}, {"UltraMid", "UltraMid", "Mid"},
            {"PreampPeak", "PeakLed", "Level"},
        };
        linkParameters(links);
        linkChildParameters("Gain");
        linkChildParameters("GraphicEq");
        linkChildParameters("PowerAmp");
    }
};

} // namespace AudioEngine::BorvanQom
