#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/math/Curve2.h"
#include "engine/modules/BufferCircular.h"
#include "engine/modules/DelayLineVariable.h"
#include "engine/modules/InterpSpline.h"
#include "engine/modules/LinearComb1.h"
#include "models/stomps/LfoRI1.h"

#include <string_view>

namespace AudioEngine::CX2 {

// The bucket-brigade chorus's circuit values. The control voltage is the
// superposition at one node of the LFO's sweep, arriving through R2, and the
// 13 V supply, arriving through R3, with R1 as the third leg: each source sees
// the other two legs in parallel, giving the sweep's share k1 and the bias's
// share k2.
struct ChorusRI1Traits {
    static constexpr float supply = 13.0f;          // volts
    static constexpr float r1 = 50000.0f;           // ohms
    static constexpr float r2 = 4700.0f;            // ohms
    static constexpr float r3 = 8200.0f;            // ohms
    static constexpr float r13 = 7044.6733f;        // R1 || R3
    static constexpr float r12 = 4296.1606f;        // R1 || R2
    static constexpr float k1 = 0.59981859f;        // R13 / (R13 + R2): the sweep's share
    static constexpr float k2 = 0.34379846f;        // R12 / (R12 + R3): the supply's share
    static constexpr float chorusRateAt0 = 1.0f;    // hertz
    static constexpr float chorusRateAt1 = 3.0f;    // hertz
    static constexpr float chorusSwingAt0 = 11.0f;  // volts
    static constexpr float chorusSwingAt1 = 11.0f;  // volts
    static constexpr float vibratoRateAt0 = 3.4f;   // hertz
    static constexpr float vibratoRateAt1 = 12.5f;  // hertz
    static constexpr float vibratoSwingAt0 = 11.0f; // volts
    static constexpr float vibratoSwingAt1 = 2.5f;  // volts
};

namespace ChorusRI1TraitsDetails {

// The rescaler's ranges: scale 0 .. 15, offset 0 .. 20 volts.
struct ScaleDescriptor {
    static constexpr float minimum = 0.0f;
    static constexpr float maximum = 15.0f;
    static constexpr float defaultValue = 1.0f;
};
struct OffsetDescriptor {
    static constexpr float minimum = 0.0f;
    static constexpr float maximum = 20.0f;
    static constexpr float defaultValue = 5.0f;
};

// The bucket brigade's measured clock against control voltage, nine points
// from -7.5 V to 22.5 V, held as the delay of its 512 stages: a brigade of N
// stages delays by N / (2 f_clock), so t = 512000 / (2 c) ms.
class Curve : public AudioMath::Curve2<AudioMath::Curve2Traits<float>> {
public:
    static constexpr float clocksHz[9] = {225000.0f, 225000.0f, 225000.0f, 157000.0f, 122000.0f,
                                          100000.0f, 87000.0f,  87000.0f,  87000.0f};
    static constexpr float firstVolts = -7.5f;
    static constexpr float lastVolts = 22.5f;

    Curve();
};

using V2TSpline = AudioMath::SplineCubic<AudioMath::InterpSplineUniformNaturalTraits<Curve>>;

struct DelayLineTraits {
    using Buffer = AudioContainers::BufferCircular<AudioContainers::BufferCircularSampleTraits>;
    static constexpr float maximumDelayMs = 1000.0f;
};

} // namespace ChorusRI1TraitsDetails

// The modulated delay of the chorus/vibrato pedal, run as a graph:
//   "Lfo" (triangle or sine) -> "Rescaler" (control voltage = Scale lfo + Offset)
//   -> "V2T" (voltage to delay in ms) -> "DelayLine"."InDelay"; "In" -> "DelayLine".
// "Mode" chooses chorus or vibrato; each mode applies only its own knobs
// ("ChorusInt"; "VibRate" and "VibDepth"), the others wait for their mode.
template <class Traits> class ChorusRI1 : public ModuleStructured {
public:
    using Lfo = ChorusRI1TraitsDetails::LfoRI1;
    using Rescaler = LinearComb1<ChorusRI1TraitsDetails::ScaleDescriptor,
                                 ChorusRI1TraitsDetails::OffsetDescriptor>;
    using V2T = InterpSpline<ChorusRI1TraitsDetails::V2TSpline>;
    using DelayLine = DelayLineVariable<ChorusRI1TraitsDetails::DelayLineTraits>;

    static constexpr float kChorus = 0.0f;  // "Mode" state "Chorus"
    static constexpr float kVibrato = 1.0f; // "Mode" state "Vibrato"

    ChorusRI1() : ModuleStructured(ModuleInfo{0, "ChorusRI1", ""}) {}

    void createSubModules() override
    {
        lfo_ = addSubModule<Lfo>("Lfo");
        rescaler_ = addSubModule<Rescaler>("Rescaler");
        v2t_ = addSubModule<V2T>("V2T");
        delayLine_ = addSubModule<DelayLine>("DelayLine");
    }

    void createParameters() override
    {
        parameters_.addParameter(Parameter("VibRate", "", 0.0f, 1.0f, 0.5f, 0), "VibRate");
        parameters_.addParameter(Parameter("ChorusInt", "", 0.0f, 1.0f, 0.5f, 0), "ChorusInt");
        parameters_.addParameter(Parameter("VibDepth", "", 0.0f, 1.0f, 0.5f, 0), "VibDepth");
        parameters_.addParameter(
            Parameter("Mode", "", ParameterBase::States{"Chorus", "Vibrato"}, "Chorus", 0), "Mode");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }

    void createOutputs() override
    {
        outputs_.addHierarchicOutput(Port("Out", "", &delayLine_->getOutput("Out")), "Out");
    }

    void connectSubModules() override
    {
        connectInput(*rescaler_, "In", &lfo_->getOutput("Out"));
        connectInput(*v2t_, "In", &rescaler_->getOutput("Out"));
        connectInput(*delayLine_, "InDelay", &v2t_->getOutput("Out"));
        connectInput(*delayLine_, "In", &getInput("In"));
        getOutput("Out").connect(&delayLine_->getOutput("Out"));
    }

    // Every sub-module gets a buffer of its own: the delay line reads its
    // delay while the signal is still being written.
    std::int32_t getOutputPolicy(const Module*) const override { return 0; }

    // Back to chorus mode, with "ChorusInt" applied.
    void prepare() override { setParameter("Mode", kChorus); }

    void setParameter(std::string_view name, float value) override
    {
        ModuleStructured::setParameter(name, value);
        const bool chorus = valueOf("Mode") == kChorus;
        if (name == "Mode") {
            if (chorus) {
                lfo_->setParameter("Mode", kChorus);
                setParameter("ChorusInt", valueOf("ChorusInt"));
            } else {
                lfo_->setParameter("Mode", kVibrato);
                setParameter("VibDepth", valueOf("VibDepth"));
                setParameter("VibRate", valueOf("VibRate"));
            }
        } else if (chorus && name == "ChorusInt") {
            applyChorus(valueOf("ChorusInt"));
        } else if (!chorus && (name == "VibDepth" || name == "VibRate")) {
            applyVibrato(valueOf("VibDepth"), valueOf("VibRate"));
        }
    }

    Lfo& getLfo() const noexcept { return *lfo_; }
    Rescaler& getRescaler() const noexcept { return *rescaler_; }
    V2T& getV2T() const noexcept { return *v2t_; }
    DelayLine& getDelayLine() const noexcept { return *delayLine_; }

private:
    float valueOf(std::string_view name) const { return getParameter(name).getValue(); }

    // The intensity only speeds the sweep: its swing, 11 V through k1, and its
    // bias, the supply through k2, stay put.
    void applyChorus(float c)
    {
        const float rate = (1.0f - c) * Traits::chorusRateAt0 + c * Traits::chorusRateAt1;
        const float scale =
            ((1.0f - c) * Traits::chorusSwingAt0 + c * Traits::chorusSwingAt1) * Traits::k1;
        const float offset = Traits::supply * Traits::k2;
        rescaler_->setParameter("Scale", scale);
        rescaler_->setParameter("Offset", offset);
        lfo_->setParameter("Rate", rate);
    }

    // Depth scales swing and bias together, so depth 0 parks the delay at the
    // curve's value for 0 V; a faster rate narrows the swing.
    void applyVibrato(float d, float r)
    {
        const float offset = Traits::supply * Traits::k2 * d;
        const float rate = (1.0f - r) * Traits::vibratoRateAt0 + r * Traits::vibratoRateAt1;
        const float scale =
            ((1.0f - r) * Traits::vibratoSwingAt0 + r * Traits::vibratoSwingAt1) * Traits::k1 * d;
        rescaler_->setParameter("Scale", scale);
        lfo_->setParameter("Rate", rate);
        rescaler_->setParameter("Offset", offset);
    }

    Lfo* lfo_ = nullptr;
    Rescaler* rescaler_ = nullptr;
    V2T* v2t_ = nullptr;
    DelayLine* delayLine_ = nullptr;
};

} // namespace AudioEngine::CX2
