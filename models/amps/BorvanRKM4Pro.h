#pragma once

#include "engine/modules/Gain.h"
#include "models/amps/HeadWithPeakLed.h"
#include "models/amps/stages/Compressor.h"
#include "models/amps/stages/Function.h"
#include "models/amps/stages/GraphicEq.h"
#include "models/amps/stages/GraphicEqTraits.h"
#include "models/amps/stages/HeadClippers.h"
#include "models/amps/stages/HeadGainDescriptors.h"
#include "models/amps/stages/MidEqV9E.h"
#include "models/amps/stages/PeakLedMeter.h"
#include "models/amps/stages/PeakLedMeterTraits.h"
#include "models/amps/stages/PowerAmpBorvanSolidState.h"
#include "models/amps/stages/RKM4ProStages.h"

namespace AudioEngine::BorvanQom {

namespace BorvanRKM4ProTraitsDetails {
using GainDescriptorDb = HeadGainDescriptors::TrimDb;
// The gain knob, a plain factor.
using GainDescriptor = HeadGainDescriptors::Knob;
} // namespace BorvanRKM4ProTraitsDetails

struct BorvanRKM4ProTraits {
    using Level = GaindB<BorvanRKM4ProTraitsDetails::GainDescriptorDb>;
    using Gain = AudioEngine::Gain<BorvanRKM4ProTraitsDetails::GainDescriptor>;
    using PreFilter1 = BorvanRKM4ProTraitsDetails::PreFilter1;
    using Bright = BorvanRKM4ProTraitsDetails::Bright;
    using Clipper1 = Function<BorvanRKM4ProTraitsDetails::ClipperDetails::Clipper1>;
    using Clipper2 = Function<BorvanRKM4ProTraitsDetails::ClipperDetails::Clipper2>;
    using Clipper3 = Function<BorvanRKM4ProTraitsDetails::ClipperDetails::Clipper3>;
    using HPF1 = BorvanRKM4ProTraitsDetails::HPF1;
    using HPF2 = BorvanRKM4ProTraitsDetails::HPF2;
    using HPF3 = BorvanRKM4ProTraitsDetails::HPF3;
    using Compressor = BorvanQom::Compressor<CompressorTraits>;
    using UltraLo = BorvanRKM4ProTraitsDetails::UltraLo;
    using UltraHi = BorvanRKM4ProTraitsDetails::UltraHi;
    using ToneEq = CX1::ToneEq<BorvanRKM4ProTraitsDetails::BaxandallSchematic>;
    using MidEq = MidEqDetails::MidEqV9E;
    using GraphicEq = BorvanQom::GraphicEq<RKM4ProGEQTraits>;
    using PowerAmp = PowerAmpBorvanSolidState<PowerAmpBorvanSolidStateTraits>;
    using PeakLed = PeakLedMeter<BorvanRKM4ProTraitsDetails::PeakLedMeterTraits>;
};

// The RKM4Pro head: three clipping stages, each with the coupling high-pass
// that takes off its standing level, the optical compressor after the first,
// the bright filter, the "UltraLo" and "UltraHi" switches, a Baxandall bass
// and treble stack, the parametric mid, the nine-band graphic equaliser and
// the solid-state power amp with its limiter. "PreampPeak" watches the three
// high-pass outputs, the stages' swings without their standing levels.
template <class Traits> class BorvanRKM4Pro : public HeadWithPeakLed {
public:
    BorvanRKM4Pro() : HeadWithPeakLed(ModuleInfo{0, "BorvanRKM4Pro", ""}) {}

    void createSubModules() override
    {
        addSubModule<typename Traits::Level>("LevelPreamp1");
        addSubModule<typename Traits::PreFilter1>("PrefilterStage1");
        addSubModule<typename Traits::Clipper1>("ClipperStage1");
        addSubModule<typename Traits::HPF1>("HPF1");
        addSubModule<typename Traits::Compressor>("Compressor");
        addSubModule<typename Traits::Level>("LevelPreamp2");
        addSubModule<typename Traits::Bright>("Bright");
        addSubModule<typename Traits::Gain>("Gain");
        addSubModule<typename Traits::Clipper2>("ClipperStage2");
        addSubModule<typename Traits::HPF2>("HPF2");
        addSubModule<typename Traits::UltraLo>("UltraLo");
        addSubModule<typename Traits::UltraHi>("UltraHi");
        addSubModule<typename Traits::Level>("LevelPreamp3");
        addSubModule<typename Traits::Clipper3>("ClipperStage3");
        addSubModule<typename Traits::HPF3>("HPF3");
        addSubModule<typename Traits::ToneEq>("BaxandallToneEq");
        addSubModule<typename Traits::MidEq>("MidEq");
        addSubModule<typename Traits::GraphicEq>("GraphicEq");
        addSubModule<typename Traits::PowerAmp>("PowerAmp");
        addSubModule<typename Traits::PeakLed>("PeakLed");
    }

    void connectSubModules() override
    {
        static constexpr std::string_view taps[] = {"HPF1", "HPF2", "HPF3"};
        connectWithPeakLed(taps);
    }

    // The power-amp, equaliser, "Bright" and "Pad" names are the stages' own.
    void createParameters() override
    {
        static constexpr ModuleStructuredDetails::ParameterLink links[] = {
            {"UltraHi", "UltraHi", "UltraHi"},
            {"Gain", "Gain", "Gain"},
            {"CompAmount", "Compressor", "Compression"},
            {"CompLevel", "Compressor", "Level"},
            {"CompVolume", "Compressor", "Volume"},
            {"CompResponsiveness", "Compressor", "Responsiveness"},
            {"UltraLo", "UltraLo", "UltraLo"},
            {"Bass", "BaxandallToneEq", "Bass"},
            {"Treble", "BaxandallToneEq", "Treble"},
            {"Mid", "MidEq", "MidGain"},
            {"Frequency", "MidEq", "MidFrequency"},
            {"GainAdjPre1", "LevelPreamp1", "Gain"},
            {"GainAdjPre2", "LevelPreamp2", "Gain"},
            {"GainAdjPre3", "LevelPreamp3", "Gain"},
            {"PreampPeak", "PeakLed", "Level"},
        };
        linkParameters(links);
        linkChildParameters("PowerAmp");
        linkChildParameters("GraphicEq");
        linkChildParameters("Bright");
        linkChildParameters("PrefilterStage1");
    }
};

} // namespace AudioEngine::BorvanQom
