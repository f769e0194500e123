#pragma once

#include "engine/core/ModuleBasic.h"

#include <cmath>

namespace AudioEngine {

namespace GainLaws {
// gain = value.
struct Linear {
    static constexpr const char* type = "Gain";
    static float gain(float value) noexcept { return value; }
};
// gain = 10^(0.05 x dB), in double precision with 0.05 taken as a float, as
// every level trim of the rig computes it.
struct Decibel {
    static constexpr const char* type = "GaindB";
    static float gain(float value) noexcept
    {
        return static_cast<float>(std::pow(10.0, static_cast<double>(0.05f) * value));
    }
};
// The log-taper knob law value^log2(10): 1 -> 1, 0.5 -> 0.1 (-20 dB), 0.25 -> 0.01.
struct Taper {
    static constexpr const char* type = "GainLog";
    static constexpr float exponent = 3.321928f;
    static float gain(float value) noexcept { return std::pow(value, exponent); }
};
} // namespace GainLaws

namespace GainModuleDetails {
// out = F(F(g) x F(in)), F the denormal flush; out may be in.
void apply(const float* in, float* out, std::uint32_t n, float g) noexcept;
// The same four samples per step, with masks instead of branches.
void applyFourLane(const float* in, float* out, std::uint32_t n, float g) noexcept;

// The one "Gain" parameter, its range from a descriptor (static minimum,
// maximum and defaultValue); flags 0, so the change queue slews it.
template <class Descriptor> Parameter makeParameter()
{
    return Parameter("Gain", "", Descriptor::minimum, Descriptor::maximum, Descriptor::defaultValue,
                     0);
}
} // namespace GainModuleDetails

// One mono signal times a gain from the parameter "Gain" under a gain law. The
// gain is computed once per piece and steps at piece boundaries; smoothness
// comes from the change queue slewing the parameter.
template <class Law, class GainParameter> class GainModule : public ModuleBasic {
public:
    GainModule() : ModuleBasic(ModuleInfo{0x193, Law::type, ""}) {}

    void createParameters() override { gain_ = parameters_.addParameter(GainParameter(), "Gain"); }

    void bindPorts() override
    {
        in_ = &getInput("In");
        out_ = &getOutput("Out");
        gain_ = &getParameter("Gain");
    }

    std::uint32_t processBlock() override
    {
        const std::uint32_t n = getChunkSize();
        GainModuleDetails::apply(in_->getBuffer(), out_->getBuffer(), n,
                                 Law::gain(gain_->getValue()));
        return n;
    }

    std::uint32_t processBlockVector() override
    {
        const std::uint32_t n = getChunkSize();
        GainModuleDetails::applyFourLane(in_->getBuffer(), out_->getBuffer(), n,
                                         Law::gain(gain_->getValue()));
        return n;
    }

protected:
    Port* in_ = nullptr;
    Port* out_ = nullptr;
    ParameterBase* gain_ = nullptr;
};

namespace GainDetails {
template <class Descriptor> class Parameter : public AudioEngine::Parameter {
public:
    Parameter() : AudioEngine::Parameter(GainModuleDetails::makeParameter<Descriptor>()) {}
};
} // namespace GainDetails

namespace GaindBDetails {
template <class Descriptor> class Parameter : public AudioEngine::Parameter {
public:
    Parameter() : AudioEngine::Parameter(GainModuleDetails::makeParameter<Descriptor>()) {}
};
} // namespace GaindBDetails

namespace GainLogDetails {
template <class Descriptor> class Parameter : public AudioEngine::Parameter {
public:
    Parameter() : AudioEngine::Parameter(GainModuleDetails::makeParameter<Descriptor>()) {}
};
} // namespace GainLogDetails

// Linear gain: "Gain" is the factor.
template <class Descriptor>
class Gain : public GainModule<GainLaws::Linear, GainDetails::Parameter<Descriptor>> {
};

// Gain in decibels.
template <class Descriptor>
class GaindB : public GainModule<GainLaws::Decibel, GaindBDetails::Parameter<Descriptor>> {
};

// Log-taper gain: "Gain" is a knob position 0 .. 1.
template <class Descriptor>
class GainLog : public GainModule<GainLaws::Taper, GainLogDetails::Parameter<Descriptor>> {
};

} // namespace AudioEngine
