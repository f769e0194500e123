#include "models/stomps/EnvelopeFilter.h"

#include <cmath>

namespace AudioEngine::CX2 {
namespace EnvelopeFilterDetails {

Filter::~Filter() = default;

namespace {

// +12 dB for the band-pass.
const float kBandPassGain = static_cast<float>(std::pow(10.0, 0.6));

// A knob value as a controller value: truncated toward zero. The parameter
// already holds it within 0 .. 127 (and never NaN).
std::int32_t controllerValue(ParameterBase& parameter)
{
    return static_cast<std::int32_t>(std::trunc(parameter.getValue()));
}

// Whether the parameter's integer value is that of the named state.
bool isState(ParameterBase& parameter, std::string_view state)
{
    const auto value = parameter.getStates().find(state);
    return value && std::trunc(parameter.getValue()) == *value;
}

} // namespace
} // namespace EnvelopeFilterDetails

using namespace EnvelopeFilterDetails;

void EnvelopeFilter::createParameters()
{
    freq_ = parameters_.addParameter(Parameter("Freq", "", 0.0f, 127.0f, 64.0f, 0), "Freq");
    reso_ = parameters_.addParameter(Parameter("Reso", "", 0.0f, 127.0f, 64.0f, 0), "Reso");
    depth_ = parameters_.addParameter(Parameter("Depth", "", 0.0f, 127.0f, 64.0f, 0), "Depth");
    poles_ = parameters_.addParameter(
        Parameter("Poles", "", ParameterBase::States{"12", "24"}, "12", 0), "Poles");
    mode_ = parameters_.addParameter(
        Parameter("Mode", "", ParameterBase::States{"HP", "BP", "LP"}, "LP", 0), "Mode");
}

void EnvelopeFilter::setParameter(std::string_view name, float value)
{
    ModuleMonoZq1::setParameter(name, value);
    if (name == "Freq")
        core_.setController(kFrequencyController, controllerValue(*freq_));
    else if (name == "Reso")
        core_.setController(kResonanceController, controllerValue(*reso_));
    else if (name == "Depth")
        core_.setController(kDepthController, controllerValue(*depth_));
    else if (name == "Mode" || name == "Poles")
        sendShape();
    core_.applyChangedParameters();
}

void EnvelopeFilter::sendShape()
{
    const std::int32_t poleBits = isState(*poles_, "12") ? 2 : (isState(*poles_, "24") ? 4 : 0);
    std::int32_t modeBits = 0;
    if (isState(*mode_, "HP")) {
        modeBits = 16;
        modeGain_ = 1.0f;
    } else if (isState(*mode_, "LP")) {
        modeBits = 0;
        modeGain_ = 1.0f;
    } else if (isState(*mode_, "BP")) {
        modeBits = 8;
        modeGain_ = kBandPassGain;
    }
    shapeWord_ = poleBits | modeBits;
    core_.setController(kShapeController, shapeWord_);
}

std::uint32_t EnvelopeFilter::processBlock()
{
    const std::uint32_t n = ModuleMonoZq1::processBlock();
    float* y = out_->getBuffer();
    for (std::uint32_t i = 0; i < n; ++i)
        y[i] *= modeGain_;
    return n;
}

} // namespace AudioEngine::CX2
