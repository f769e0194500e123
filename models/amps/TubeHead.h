#pragma once

#include "engine/core/ModuleStructured.h"

#include <string_view>

namespace AudioEngine::BorvanQom {

// The layout the two tube heads share, in series: the input trim, three tube
// stages each followed by the coupling filter that takes off its rest voltage,
// the "UltraLo" and "UltraHi" switches around the gain knob, a Baxandall bass
// and treble stack, the five-position mid, the power-amp trim and the tube
// power amp. The head shows only the names of its link table (the tone stack's
// own "Mid" stays inside).
//
// Traits: the stage types Level, Clipper1, HPF1, UltraLo, Gain, UltraHi,
// Clipper2, HPF2, ToneEq, MidEq, Clipper4, HPF4, PowerAmp, and powerAmpName,
// the power amp's name in the head.
template <class Traits> class TubeHead : public ModuleMono {
public:
    using ModuleMono::ModuleMono;

    void createSubModules() override
    {
        addSubModule<typename Traits::Level>("LevelPreamp");
        addSubModule<typename Traits::Clipper1>("ClipperStage1");
        addSubModule<typename Traits::HPF1>("HPF1");
        addSubModule<typename Traits::UltraLo>("UltraLo");
        addSubModule<typename Traits::Gain>("Gain");
        addSubModule<typename Traits::UltraHi>("UltraHi");
        addSubModule<typename Traits::Clipper2>("ClipperStage2");
        addSubModule<typename Traits::HPF2>("HPF2");
        addSubModule<typename Traits::ToneEq>("BaxandallToneEq");
        addSubModule<typename Traits::MidEq>("MidEq");
        addSubModule<typename Traits::Clipper4>("ClipperStage4");
        addSubModule<typename Traits::HPF4>("HPF4");
        addSubModule<typename Traits::Level>("LevelPower");
        addSubModule<typename Traits::PowerAmp>(std::string(Traits::powerAmpName));
    }

    void createParameters() override
    {
        static constexpr std::string_view power = Traits::powerAmpName;
        static constexpr ModuleStructuredDetails::ParameterLink links[] = {
            {"UltraHi", "UltraHi", "UltraHi"},
            {"Gain", "Gain", "Gain"},
            {"UltraLo", "UltraLo", "UltraLo"},
            {"Bass", "BaxandallToneEq", "Bass"},
            {"Treble", "BaxandallToneEq", "Treble"},
            {"Mid", "MidEq", "MidGain"},
            {"Frequency", "MidEq", "MidFrequency"},
            {"GainAdjPre", "LevelPreamp", "Gain"},
            {"GainAdjPwr", "LevelPower", "Gain"},
            {"Master", power, "Volume"},
            {"Variac", power, "Variac"},
            {"PlateCurrentGain", power, "PlateCurrentGain"},
            {"ScreenCurrentGain", power, "ScreenCurrentGain"},
            {"GainPrePwr", power, "GainPre"},
            {"GainPostPwr", power, "GainPost"},
            {"DSM", power, "DSM"},
        };
        linkParameters(links);
    }
};

} // namespace AudioEngine::BorvanQom
