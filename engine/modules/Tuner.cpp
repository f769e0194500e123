#include "engine/modules/Tuner.h"

#include <cmath>

namespace AudioEngine::CX2 {
namespace {

// A switch is in a state when the integer part of its value equals the state's value.
bool inState(ParameterBase& parameter, std::string_view state)
{
    const std::optional<float> value = parameter.getStates().find(state);
    return value && std::trunc(parameter.getValue()) == *value;
}

} // namespace

Tuner::Tuner()
    : ModuleBasic(ModuleInfo{0x12, "Tuner", ""}),
      engine_(std::make_unique<dsp::Domain::Pitch::TunerEngine>())
{
}

Tuner::~Tuner() = default;

void Tuner::createParameters()
{
    using States = ParameterBase::States;
    on_ = parameters_.addParameter(Parameter("On", "", States{"On", "Off"}, "On", 0), "On");
    mute_ = parameters_.addParameter(Parameter("Mute", "", States{"On", "Mute"}, "On", 0), "Mute");
    parameters_.addParameter(Parameter("Reference", "", 425.0f, 455.0f, 440.0f, 0), "Reference");
    display_ = parameters_.addParameter(
        Parameter("Display", "", States{"On", "Off"}, "On", Parameter::kReadOnly), "Display");
    cents_ = parameters_.addParameter(
        Parameter("Cents", "", -50.0f, 50.0f, 0.0f, Parameter::kReadOnly), "Cents");
    note_ = parameters_.addParameter(Parameter("Note", "", 0.0f, 11.0f, 0.0f, Parameter::kReadOnly),
                                     "Note");
    deviation_ = parameters_.addParameter(
        Parameter("Deviation", "", -1.0f, 1.0f, 0.0f, Parameter::kReadOnly), "Deviation");
    displayOn_ = display_->getStates().find("On").value_or(0.0f);
    displayOff_ = display_->getStates().find("Off").value_or(1.0f);
}

void Tuner::bindPorts()
{
    in_ = &getInput("In");
    out_ = &getOutput("Out");
    on_ = &getParameter("On");
    mute_ = &getParameter("Mute");
    display_ = &getParameter("Display");
    cents_ = &getParameter("Cents");
    note_ = &getParameter("Note");
    deviation_ = &getParameter("Deviation");
}

void Tuner::setParameter(std::string_view name, float value)
{
    ModuleBasic::setParameter(name, value);
    if (name == "On") {
        active_ = inState(*on_, "On");
        engine_->setBypass(!active_);
    } else if (name == "Mute") {
        engine_->setMute(inState(*mute_, "Mute"));
    } else if (name == "Reference") {
        engine_->setReferencePitch(value);
    }
}

void Tuner::update()
{
    engine_->setSampleRate(getSampleRate());
}

void Tuner::prepare()
{
    ModuleBasic::prepare();
    update();
}

std::uint32_t Tuner::processBlock()
{
    const std::uint32_t n = getChunkSize();
    engine_->process(in_->getBuffer(), out_->getBuffer(), static_cast<int>(n));
    if (active_) {
        display_->set(engine_->isValid() ? displayOn_ : displayOff_);
        cents_->set(static_cast<float>(engine_->getCents()));
        note_->set(static_cast<float>(engine_->getNoteIndex()));
        deviation_->set(engine_->getDeviation());
    }
    return n;
}

} // namespace AudioEngine::CX2
