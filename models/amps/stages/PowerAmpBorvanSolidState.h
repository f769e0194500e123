#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/core/Parameter.h"
#include "engine/modules/Gain.h"
#include "models/amps/stages/Function.h"
#include "models/amps/stages/HeadGainDescriptors.h"
#include "models/amps/stages/Limiter.h"
#include "models/amps/stages/SolidStateClipFunction.h"

namespace AudioEngine::BorvanQom {

namespace PowerAmpBorvanSolidStateTraitsDetails {

using GainDescriptorDb = HeadGainDescriptors::TrimDb;
using GainDescriptor = HeadGainDescriptors::Knob;

// The output stage: a symmetric hard clip at -2 dB of full scale (0.7943282).
using SolidStateClipperType = Function<SolidStateClipFunction<-2>>;

} // namespace PowerAmpBorvanSolidStateTraitsDetails

struct PowerAmpBorvanSolidStateTraits {
    using GainDescriptorDb = PowerAmpBorvanSolidStateTraitsDetails::GainDescriptorDb;
    using GainDescriptor = PowerAmpBorvanSolidStateTraitsDetails::GainDescriptor;
    using LimiterTraits = PowerAmpBorvanSolidStateTraitsDetails::LimiterTraits;
    using SolidStateClipperType = PowerAmpBorvanSolidStateTraitsDetails::SolidStateClipperType;
};

// The solid-state power amp of the RE500 and RKM4Pro heads, in signal order:
// input trim (dB), master volume (linear), the optical limiter (inverting),
// the trim before the output stage (dB) and the hard clipper. It exposes
// exactly the names the heads pass on.
template <class Traits> class PowerAmpBorvanSolidState : public ModuleMono {
public:
    static ModuleInfo moduleInfo() { return ModuleInfo{0, "PowerAmpSolidState", ""}; }

    PowerAmpBorvanSolidState() : ModuleMono(moduleInfo()) {}

    void createSubModules() override
    {
        addSubModule<GaindB<typename Traits::GainDescriptorDb>>("PwrAmpInGainAdjust");
        addSubModule<Gain<typename Traits::GainDescriptor>>("MasterVolume");
        addSubModule<Limiter<typename Traits::LimiterTraits>>("Limiter");
        addSubModule<GaindB<typename Traits::GainDescriptorDb>>("PreClipperGainAdjust");
        addSubModule<typename Traits::SolidStateClipperType>("SolidStateClipper");
    }

    void createParameters() override
    {
        static constexpr ModuleStructuredDetails::ParameterLink links[] = {
            {"PwrAmpInGainAdjust", "PwrAmpInGainAdjust", "Gain"},
            {"Master", "MasterVolume", "Gain"},
            {"PreClipperGainAdjust", "PreClipperGainAdjust", "Gain"},
            {"LimitTreshold", "Limiter", "Treshold"},
            {"LimitEnable", "Limiter", "Enable"},
            {"LimitPeak", "Limiter", "Peak"},
            {"LimitResponsiveness", "Limiter", "Responsiveness"},
        };
        linkParameters(links);
    }
};

} // namespace AudioEngine::BorvanQom
