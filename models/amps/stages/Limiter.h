#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/core/Parameter.h"
#include "engine/math/FilterVariable.h"
#include "engine/math/FilterZeroPole.h"
#include "engine/math/SampleFlush.h"
#include "models/amps/stages/PeakLedMeter.h"
#include "models/amps/stages/PeakLedMeterTraits.h"
#include "models/amps/stages/ResponsivenessFilter.h"
#include "models/amps/stages/SplineClipper.h"
#include "models/amps/stages/StageCurveTables.h"
#include "models/amps/stages/Vactrol.h"
#include "models/amps/stages/VactrolStage.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace AudioEngine::BorvanQom {

namespace LimiterTraitsDetails {

// The detector's full-wave rectifier (volts to volts; the two half-waves take
// different diode paths). Flat beyond its table at both ends.
using FullWaveRectifier =
    SplineClipper<StageCurveTables::LimiterFullWaveRectifier, ClipperInput::Unchanged>;

// Rectified volts to LED amperes, used above 1.2 V only.
using PhotoDiodeTransferFunction =
    SplineClipper<StageCurveTables::LimiterPhotoDiodeTransferFunction, ClipperInput::Unchanged>;

class SmoothingFilter : public ResponsivenessFilter {};

// A zero-pole network of the circuit's input, H(s) = (B0 + B1 s) / (A0 + A1 s).
// It is built and designed with the limiter but takes no part in the signal path.
class PreFilter : public FilterVariable<FilterZeroPole<>> {
protected:
    void design() override
    {
        installDesign(CoefficientsS(7.8181816e-5f, 8.084e-8f, 1.047e-5f, 8.084e-8f));
    }
};

} // namespace LimiterTraitsDetails

namespace PowerAmpBorvanSolidStateTraitsDetails {

struct LimiterTraits {
    using Vactrol = BorvanQom::Vactrol<VTL5C7VactrolTraits>;
    using SmoothingFilter = LimiterTraitsDetails::SmoothingFilter;
    using PreFilter = LimiterTraitsDetails::PreFilter;
    using PeakLed = PeakLedMeter<LimiterTraitsDetails::PeakLedMeterTraits>;
    using FullWaveRectifier = LimiterTraitsDetails::FullWaveRectifier;
    using PhotoDiodeTransferFunction = LimiterTraitsDetails::PhotoDiodeTransferFunction;

    // The op-amp stage: 15k in, 33k feedback (a gain of -2.2), the photoresistor across the 33k.
    static constexpr float inputResistor = 15000.0f;
    static constexpr float feedbackResistor = 33000.0f;
    // The LED conducts only above this rectified voltage.
    static constexpr float ledThreshold = 1.2f;
};

} // namespace PowerAmpBorvanSolidStateTraitsDetails

// The solid-state power amp's optical limiter: an inverting op-amp stage whose
// feedback resistor is shunted by a photoresistor lit from a full-wave
// rectifier of the stage's own output. Per sample, with R before this
// sample's vactrol step:
//   k = (Rfb || R) / Rin            (2.1297 dark, towards 0.0067 at 100 ohms)
//   gs = "SmoothingFilter"(k),  d = rectifier(-k in T),  I = LED(d) for d > 1.2 else 0
//   LED meter step with d, vactrol step with I,  out = -gs in
// with T = 10^(0.05 "Treshold") (the threshold knob is a detector gain). After
// the block "Peak" is the LED meter's last result. "Enable" "Off" makes the
// stage the plain inverting amplifier, out = -2.2 in, with "Peak" 0; R, the
// filter and the LED meter then keep their state until it is enabled again.
//
// The children are run by the limiter, never by the graph; their inputs stay
// unconnected. An input sample that is NaN or infinite is taken as silence in
// the enabled path, so it never reaches R.
template <class Traits> class Limiter : public VactrolStage<typename Traits::Vactrol> {
    using Stage = VactrolStage<typename Traits::Vactrol>;

public:
    static ModuleInfo moduleInfo() { return ModuleInfo{0, "Limiter", ""}; }

    Limiter() : Stage(moduleInfo()) {}

    void createSubModules() override
    {
        Stage::createSubModules();
        smoothing_ =
            this->template addSubModule<typename Traits::SmoothingFilter>("SmoothingFilter");
        preFilter_ = this->template addSubModule<typename Traits::PreFilter>("PreFilter");
        peakLed_ = this->template addSubModule<typename Traits::PeakLed>("PeakLed");
    }

    void createParameters() override
    {
        treshold_ = this->parameters_.addParameter(Parameter("Treshold", "", 0.0f, 40.0f, 0.0f, 0),
                                                   "Treshold");
        enable_ = this->parameters_.addParameter(
            Parameter("Enable", "", Parameter::States{"Off", "On"}, "On", 0), "Enable");
        peak_ = this->parameters_.addParameter(
            Parameter("Peak", "", 0.0f, 100000.0f, 0.0f, Parameter::kReadOnly), "Peak");
        this->linkChildParameters("SmoothingFilter");
        offValue_ = *enable_->getStates().find("Off");
    }

    // The stored value decides, so a NaN leaves the state as it was.
    void setParameter(std::string_view name, float value) override
    {
        Stage::setParameter(name, value);
        if (name == "Enable")
            enabled_ = enable_->getValue() != offValue_;
    }

    void process() override { processBlock(); }

    std::uint32_t processBlock()
    {
        const std::uint32_t n = this->getChunkSize();
        const float* x = this->in_->getBuffer();
        float* y = this->out_->getBuffer();
        const float rIn = Traits::inputResistor;
        const float rFb = Traits::feedbackResistor;
        if (!enabled_) {
            const float g = rFb / rIn;
            for (std::uint32_t i = 0; i < n; ++i)
                y[i] = -(g * x[i]);
            peak_->set(0.0f);
            return n;
        }
        const auto t = static_cast<float>(std::pow(10.0, 0.05 * treshold_->getValue()));
        float r = this->getResistance();
        float led = 0.0f;
        for (std::uint32_t i = 0; i < n; ++i) {
            const float in = AudioMath::flushedSample(x[i]);
            const float k = (rFb * r / (rFb + r)) / rIn;
            const float smoothed = smoothing_->tick(k);
            const float detected = fullWave_(-k * in * t);
            const float current = detected > Traits::ledThreshold ? photoDiode_(detected) : 0.0f;
            peakLed_->step(detected, led);
            this->getVactrol().step(current, r);
            y[i] = -smoothed * in;
        }
        this->setResistance(r);
        if (n > 0)
            peak_->set(led);
        return n;
    }

    bool isEnabled() const noexcept { return enabled_; }
    typename Traits::SmoothingFilter& getSmoothingFilter() const noexcept { return *smoothing_; }
    typename Traits::PreFilter& getPreFilter() const noexcept { return *preFilter_; }
    typename Traits::PeakLed& getPeakLed() const noexcept { return *peakLed_; }

private:
    ParameterBase* treshold_ = nullptr;
    ParameterBase* enable_ = nullptr;
    ParameterBase* peak_ = nullptr;
    typename Traits::SmoothingFilter* smoothing_ = nullptr;
    typename Traits::PreFilter* preFilter_ = nullptr;
    typename Traits::PeakLed* peakLed_ = nullptr;
    typename Traits::FullWaveRectifier fullWave_;
    typename Traits::PhotoDiodeTransferFunction photoDiode_;
    float offValue_ = 0.0f;
    bool enabled_ = true;
};

} // namespace AudioEngine::BorvanQom
