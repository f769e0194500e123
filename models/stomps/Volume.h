#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/modules/LinearComb1.h"

namespace AudioEngine::CX2 {

struct VolumeTraits {
    // The combinator's gain: -120 dB .. 0 dB as a factor.
    struct ParDescScale {
        static constexpr float minimum = 1e-6f;
        static constexpr float maximum = 1.0f;
        static constexpr float defaultValue = 1.0f;
    };
    // An empty range: the pedal adds nothing to the signal.
    struct ParDescOffset {
        static constexpr float minimum = 0.0f;
        static constexpr float maximum = 0.0f;
        static constexpr float defaultValue = 0.0f;
    };
    // "Scale": the divisor of the decibel value, so that the same pedal travel
    // can span -120 dB (1) down to only -6 dB (20).
    class ParMasterScale : public Parameter {
    public:
        ParMasterScale() : Parameter("Scale", "", 1.0f, 20.0f, 1.0f, 0) {}
    };
};

namespace VolumeDetails {
// g = 10^(volumeDb / (20 scale)).
float gain(float volumeDb, float scale) noexcept;
} // namespace VolumeDetails

// The volume pedal: "Out" = g "In" with g from "Volume" (dB) and "Scale",
// through one combinator ("VolumeLinear") whose smoothing makes every change
// of the pedal a short fade instead of a click. The combinator's own
// parameters stay hidden: the pedal drives its "Scale".
template <class Traits> class Volume : public ModuleStructured {
public:
    using Linear = LinearComb1<typename Traits::ParDescScale, typename Traits::ParDescOffset>;

    Volume() : ModuleStructured(ModuleInfo{0, "Volume", ""}) {}

    void createSubModules() override { linear_ = addSubModule<Linear>("VolumeLinear"); }

    void createParameters() override
    {
        volume_ =
            parameters_.addParameter(Parameter("Volume", "", -120.0f, 0.0f, 0.0f, 0), "Volume");
        scale_ = parameters_.addParameter(typename Traits::ParMasterScale(), "Scale");
    }

    void createInputs() override { inputs_.addInput(Input("In", ""), "In"); }

    void createOutputs() override
    {
        for (const auto& [name, output] : linear_->getOutputs())
            outputs_.addHierarchicOutput(Port(name, output->getDescription(), output.get()), name);
    }

    void connectSubModules() override
    {
        connectInput(*linear_, "In", &getInput("In"));
        for (const auto& [name, output] : outputs_)
            output->connect(&linear_->getOutput(name));
    }

    // Every change of the pedal (its "Process" included) sends the gain again.
    void setParameter(std::string_view name, float value) override
    {
        ModuleStructured::setParameter(name, value);
        linear_->setParameter("Scale",
                              VolumeDetails::gain(volume_->getValue(), scale_->getValue()));
    }

    Linear& getLinear() const noexcept { return *linear_; }

private:
    Linear* linear_ = nullptr;
    Parameter* volume_ = nullptr;
    Parameter* scale_ = nullptr;
};

} // namespace AudioEngine::CX2
