#pragma once

#include "engine/core/Denormal.h"
#include "engine/core/ModuleStructured.h"
#include "engine/modules/BufferCircular.h"
#include "engine/modules/Lfo.h"
#include "engine/modules/LfoFunctions.h"
#include "models/stomps/DelayLinePcrControlled.h"
#include "models/stomps/MemoryManFilters.h"
#include "models/stomps/MemoryManInterpolator.h"

#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace AudioEngine::CX2 {

namespace MemoryManTraitsDetails {

struct DelayLineTraits {
    using Buffer = AudioContainers::BufferCircular<AudioContainers::BufferCircularSampleTraits>;
};

using LfoType = Lfo<LfoFunctions::Triangle<float, float>>;
using LfoFilterType = LfoSmoother<BiquadStage>;
using DelayLineType = DelayLinePcrControlled<DelayLineTraits, 25, 500>;

} // namespace MemoryManTraitsDetails

// The pedal's constants.
struct MemoryManTraits {
    static constexpr float chorusRateHz = 1.0f;
    static constexpr float vibratoRateHz = 5.0f;
    // Above 1: with "Feedback" near its top the repeats grow, as on the pedal.
    static constexpr float feedbackScale = 1.2f;
    static constexpr float blendScale = 1.0f;
    static constexpr float outputGainDb = 0.0f;
};

// The analog delay: a bucket-brigade delay with a chorus/vibrato sweep of its
// clock. Per sample, with d the smoothed "Depth", g the modulation gate and k
// the smoothed delay-time knob position:
//   control voltage  V = Vr + g dV,  Vr = d (-7.42) + (1 - d) (-9.1),
//                    dV = d x (the smoothed triangle LFO, -1 .. 1);
//   delay            "Delay" x ratio(V, k), the knob laws blended over k;
//   wet              = line(antialias(x + feedback band-pass(last wet) x 1.2 "Feedback"));
//   Out              = (x (1 - blend) + wet blend), x = "InputLevel" In, blend = "BlendLevel".
// So the rest voltage runs from -9.1 V at depth 0 (where every law gives 1
// and the delay is exactly "Delay") to -7.42 V at depth 1, and the sweep
// swings it by +-depth volts. A change of "Delay" with the depth on closes the
// gate until "DelayHold" ms after the last change (counted in whole pieces),
// so the pitch glide of the new length is not wobbled, then fades the sweep
// back in at "LfoSmoothness".
//
// The sub-modules hold the parameters and the filter designs (which follow
// the rate through their own prepare and update); the model runs them one
// sample at a time and never as a graph. Its LFO phase is its own, advanced
// by the "Lfo" sub-module's "Rate".
template <class Traits> class MemoryMan : public ModuleExplicit {
public:
    using Lfo = MemoryManTraitsDetails::LfoType;
    using LfoFilter = MemoryManTraitsDetails::LfoFilterType;
    using DepthControlFilter = MemoryManTraitsDetails::DepthControlFilterType;
    using DepthLfoFilter = MemoryManTraitsDetails::DepthLfoFilterType;
    using PcrKnobFilter = MemoryManTraitsDetails::PcrKnobFilterType;
    using DelayLine = MemoryManTraitsDetails::DelayLineType;
    using FeedbackFilter = MemoryManTraitsDetails::FeedbackFilterType;
    using AntialiasFilter = MemoryManTraitsDetails::AntialiasFilterType;
    using Interpolator = MemoryManInterpolator1dDetails::Interpolator;

    static constexpr float kChorus = 0.0f;  // "Mode" state "Chorus"
    static constexpr float kVibrato = 1.0f; // "Mode" state "Vibrato"
    static constexpr double kRestVoltsAtDepth1 = -7.42;
    // The rest voltage at depth 0, the float -9.1 as the circuit model keeps
    // it; every knob law gives exactly 1 there.
    static constexpr double kRestVoltsAtDepth0 = static_cast<double>(-9.1f);

    MemoryMan() : ModuleExplicit(ModuleInfo{0, "MemoryMan", ""}) {}

    void createSubModules() override
    {
        lfo_ = addSubModule<Lfo>("Lfo");
        lfoFilter_ = addSubModule<LfoFilter>("LfoFilter");
        depthControlFilter_ = addSubModule<DepthControlFilter>("DepthControlFilter");
        depthLfoFilter_ = addSubModule<DepthLfoFilter>("DepthLfoFilter");
        pcrKnobFilter_ = addSubModule<PcrKnobFilter>("PcrKnobFilter");
        delayLine_ = addSubModule<DelayLine>("DelayLine");
        feedbackFilter_ = addSubModule<FeedbackFilter>("FeedbackFilter");
        antialiasFilter_ = addSubModule<AntialiasFilter>("AntialiasFilter");
    }

    void createParameters() override
    {
        parameters_.addParameter(Parameter("Feedback", "", 0.0f, 1.0f, 0.5f, 0), "Feedback");
        parameters_.addParameter(Parameter("InputLevel", "", 0.0f, 1.0f, 1.0f, 0), "InputLevel");
        parameters_.addParameter(Parameter("BlendLevel", "", 0.0f, 1.0f, 0.5f, 0), "BlendLevel");
        parameters_.addParameter(
            Parameter("DelayHold", "", 10.0f, 1000.0f, 200.0f, Parameter::kSetAtOnceAfterStates),
            "DelayHold");
        parameters_.insert("Delay", std::make_unique<ParameterLinked>(delayLine_, "Delay"));
        linkChildParameters("LfoFilter");
        parameters_.addParameter(
            Parameter("Mode", "", ParameterBase::States{"Chorus", "Vibrato"}, "Chorus", 0), "Mode");
        linkChildParameters("DepthControlFilter");
        linkChildParameters("DepthLfoFilter");
        linkChildParameters("PcrKnobFilter");

        inputLevel_ = &getParameter("InputLevel");
        blendLevel_ = &getParameter("BlendLevel");
        feedback_ = &getParameter("Feedback");
        mode_ = &getParameter("Mode");
        delay_ = &getParameter("Delay");
        delayHold_ = &getParameter("DelayHold");
        depth_ = &getParameter("Depth");
        lfoRate_ = &lfo_->getParameter("Rate");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }
    void createOutputs() override
    {
        outputs_.addBufferedOutput(OutputBuffered("Out", "", getBlockCapacity()), "Out");
    }

    void bindPorts() override
    {
        ModuleExplicit::bindPorts();
        in_ = &getInput("In");
        out_ = &getOutput("Out");
    }

    // The sub-modules first, so that a preparation alone (without an update)
    // gives the current rate's designs and delay line as well; then chorus
    // mode and no hold.
    void prepare() override
    {
        for (const auto& entry : subModules_)
            entry.module->prepare();
        setParameter("Mode", kChorus);
        const ParameterBase& range = delayLine_->getParameter("Delay");
        minimumMs_ = range.getMinimum();
        maximumMs_ = range.getMaximum();
        lastDelay_ = 0.0f;
        holdCounter_ = 0;
        hold_ = false;
        phase_ = lfo_->getParameter("Phase").getValue();
    }

    // The sub-modules' states, the delay line's samples and the wet sample
    // fed back.
    void reset() override
    {
        ModuleExplicit::reset();
        lastWet_ = 0.0f;
    }

    // "Mode" sets the LFO's rate, "Delay" the knob position; both are taken
    // from the parameters once they have limited the value.
    void setParameter(std::string_view name, float value) override
    {
        ModuleExplicit::setParameter(name, value);
        if (name == "Mode") {
            const float m = std::trunc(mode_->getValue());
            if (m == kChorus)
                lfo_->setParameter("Rate", Traits::chorusRateHz);
            else if (m == kVibrato)
                lfo_->setParameter("Rate", Traits::vibratoRateHz);
        } else if (name == "Delay") {
            knobPosition_ = (delay_->getValue() - minimumMs_) / (maximumMs_ - minimumMs_);
        }
    }

    // "In", "InDry" (as a stomp element), then "Out": the own ports only, for
    // the sub-modules are not wired. An input without a source has no buffer
    // of its own and is written with the address 0.
    void describe(std::ostream& stream, const std::string& prefix) const override
    {
        for (const auto& [name, input] : inputs_) {
            if (input->getSource()) {
                describePort(stream, prefix, *input);
            } else {
                const auto flags = stream.flags();
                stream << prefix << '_' << input->getName() << ",0x" << std::hex << 0 << std::endl;
                stream.flags(flags);
            }
        }
        for (const auto& [name, output] : outputs_)
            describePort(stream, prefix, *output);
    }

    void process() override
    {
        const std::uint32_t n = getChunkSize();
        const float fs = getSampleRate();
        const float* in = in_->getBuffer();
        float* out = out_->getBuffer();

        const float feedbackGain = feedback_->getValue() * Traits::feedbackScale;
        const float inputLevel = inputLevel_->getValue();
        const float blend = blendLevel_->getValue() * Traits::blendScale;
        const float dry = 1.0f - blend;
        const float outputGain = outputGain_;
        const float depth = depth_->getValue();
        const float delay = delay_->getValue();

        if (depth != 0.0f && delay != lastDelay_) {
            hold_ = true;
            holdCounter_ = 0;
        }
        if (hold_) {
            const auto limit = static_cast<std::uint32_t>(delayHold_->getValue() * fs * 0.001f);
            if (holdCounter_ > limit && delay == lastDelay_)
                hold_ = false;
            holdCounter_ += n;
        }
        lastDelay_ = delay;

        const float gate = hold_ ? 0.0f : 1.0f;
        const float increment = lfoRate_->getValue() / fs;
        const float knob = knobPosition_;
        float phase = phase_;
        float lastWet = lastWet_;
        for (std::uint32_t i = 0; i < n; ++i) {
            // The triangle restarts at 0, not at p - 1.
            if (phase > 1.0f)
                phase = 0.0f;
            const float lfo = 1.0f - std::abs(phase - 0.5f) * 4.0f;
            phase += increment;

            const float lfoSmooth = lfoFilter_->tick(lfo);
            const float d = depthControlFilter_->tick(depth);
            const float rest = restVolts(d);
            const float swing = swingVolts(d, lfoSmooth, rest);
            const float g = depthLfoFilter_->tick(gate);
            const float k = pcrKnobFilter_->tick(knob);
            const double volts =
                static_cast<double>(rest) + static_cast<double>(g) * static_cast<double>(swing);
            const double ratio = interpolator_.interpolate(volts, k);

            const float fb = feedbackFilter_->tick(lastWet);
            const float x = inputLevel * in[i];
            const float a = antialiasFilter_->tick(x + fb * feedbackGain);
            const float wet = delayLine_->tick(a, static_cast<float>(ratio));
            lastWet = wet;
            out[i] = flushedDenormal((x * dry + wet * blend) * outputGain);
        }
        phase_ = phase;
        lastWet_ = lastWet;
    }

    // Vr = d (-7.42) + (1 - d) (-9.1), rounded to float.
    static float restVolts(float d) noexcept
    {
        const double depth = d;
        return static_cast<float>(depth * kRestVoltsAtDepth1 + (1.0 - depth) * kRestVoltsAtDepth0);
    }
    // dV = d (lfo - 7.42) + (1 - d) (-9.1) - Vr, rounded to float: d lfo up to rounding.
    static float swingVolts(float d, float lfo, float rest) noexcept
    {
        const double depth = d;
        return static_cast<float>(depth * (static_cast<double>(lfo) + kRestVoltsAtDepth1) +
                                  (1.0 - depth) * kRestVoltsAtDepth0 - static_cast<double>(rest));
    }

    Lfo& getLfo() const noexcept { return *lfo_; }
    LfoFilter& getLfoFilter() const noexcept { return *lfoFilter_; }
    DelayLine& getDelayLine() const noexcept { return *delayLine_; }
    FeedbackFilter& getFeedbackFilter() const noexcept { return *feedbackFilter_; }
    AntialiasFilter& getAntialiasFilter() const noexcept { return *antialiasFilter_; }
    DepthControlFilter& getDepthControlFilter() const noexcept { return *depthControlFilter_; }
    DepthLfoFilter& getDepthLfoFilter() const noexcept { return *depthLfoFilter_; }
    PcrKnobFilter& getPcrKnobFilter() const noexcept { return *pcrKnobFilter_; }
    const Interpolator& getInterpolator() const noexcept { return interpolator_; }
    float getKnobPosition() const noexcept { return knobPosition_; }
    bool isHolding() const noexcept { return hold_; }
    float getLfoPhase() const noexcept { return phase_; }
    float getLastWet() const noexcept { return lastWet_; }

private:
    Lfo* lfo_ = nullptr;
    LfoFilter* lfoFilter_ = nullptr;
    DelayLine* delayLine_ = nullptr;
    FeedbackFilter* feedbackFilter_ = nullptr;
    AntialiasFilter* antialiasFilter_ = nullptr;
    DepthControlFilter* depthControlFilter_ = nullptr;
    DepthLfoFilter* depthLfoFilter_ = nullptr;
    PcrKnobFilter* pcrKnobFilter_ = nullptr;
    ParameterBase* inputLevel_ = nullptr;
    ParameterBase* blendLevel_ = nullptr;
    ParameterBase* feedback_ = nullptr;
    ParameterBase* mode_ = nullptr;
    ParameterBase* delay_ = nullptr;
    ParameterBase* delayHold_ = nullptr;
    ParameterBase* depth_ = nullptr;
    ParameterBase* lfoRate_ = nullptr;
    Port* in_ = nullptr;
    Port* out_ = nullptr;

    Interpolator interpolator_;
    float lastWet_ = 0.0f;
    float knobPosition_ = 1.0f;
    float minimumMs_ = 25.0f;
    float maximumMs_ = 500.0f;
    float lastDelay_ = 0.0f;
    bool hold_ = false;
    std::uint32_t holdCounter_ = 0;
    float phase_ = 0.0f;
    const float outputGain_ = std::pow(10.0f, Traits::outputGainDb / 20.0f);
};

} // namespace AudioEngine::CX2
