#pragma once

#include "engine/core/ModuleBasic.h"
#include "engine/modules/LfoFunctions.h"

#include <cmath>

namespace AudioEngine {

// A low-frequency control waveform from a phase accumulator on "Out", no
// input. "Rate" (Hz) sets the speed without a phase jump; setting "Phase"
// (cycles) restarts the cycle there.
template <class Function> class Lfo : public ModuleBasic {
public:
    Lfo() : ModuleBasic(ModuleInfo{0x12, "Lfo", "Basic Lfo"}) {}
    explicit Lfo(Function function) : Lfo() { function_ = function; }

    void createInputs() override {}
    void createOutputs() override { createOutputsBuffered(); }

    // "Rate" reaches up to the rate the module was built at, one cycle per sample.
    void createParameters() override
    {
        rate_ =
            parameters_.addParameter(Parameter("Rate", "", 0.0f, getSampleRate(), 1.0f, 0), "Rate");
        phaseParameter_ =
            parameters_.addParameter(Parameter("Phase", "", 0.0f, 1.0f, 0.0f, 0), "Phase");
    }

    void bindPorts() override { out_ = &getOutput("Out"); }

    void setParameter(std::string_view name, float value) override
    {
        ModuleBasic::setParameter(name, value);
        if (name == "Phase")
            phase_ = phaseParameter_->getValue();
        else if (name == "Rate")
            update();
    }

    // Rate changes arrive here; the phase carries on where it was.
    void update() override
    {
        const float rate = getSampleRate();
        increment_ = rate > 0.0f ? rate_->getValue() / rate : 0.0f;
    }

    void prepare() override
    {
        ModuleBasic::prepare();
        phase_ = phaseParameter_->getValue();
        update();
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        float* y = out_->getBuffer();
        float phase = phase_;
        const float increment = increment_;
        for (std::uint32_t i = 0; i < n; ++i) {
            // Wrapping by the whole number of cycles, not by one: after a drop
            // of the sample rate "Rate" may exceed it and the increment exceed 1.
            if (phase > 1.0f)
                phase -= std::floor(phase);
            y[i] = function_(phase);
            phase += increment;
        }
        phase_ = phase;
        return n;
    }

private:
    Function function_{};
    float phase_ = 0.0f;
    float increment_ = 0.0f;
    Port* out_ = nullptr;
    ParameterBase* rate_ = nullptr;
    ParameterBase* phaseParameter_ = nullptr;
};

} // namespace AudioEngine
