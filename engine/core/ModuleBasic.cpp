#include "engine/core/ModuleBasic.h"

namespace AudioEngine {

void ModuleBasic::build(Environment* environment)
{
    setEnvironment(environment);
    createParameters();
    createInputs();
    createOutputs();
    prepare();
}

void ModuleBasic::setEnvironment(Environment* environment)
{
    environment_ = environment;
    blockCapacity_ = environment->getBlockCapacity();
}

void ModuleBasic::resolveConnections()
{
    for (auto& [name, input] : inputs_)
        input->resolve();
    for (auto& [name, output] : outputs_)
        output->resolve();
}

void ModuleBasic::describe(std::ostream& stream, const std::string& prefix) const
{
    for (const auto& [name, input] : inputs_)
        describePort(stream, prefix, *input);
    for (const auto& [name, output] : outputs_)
        describePort(stream, prefix, *output);
}

void ModuleBasic::resetParametersToDefaults()
{
    // Through this module's own setParameter, so an override sees the defaults.
    for (const auto& [name, parameter] : parameters_)
        setParameter(name, parameter->getDefault());
}

void ModuleBasic::createInputs()
{
    inputs_.addInput(Input("In", ""), "In");
}

void ModuleBasic::createOutputs()
{
    const std::uint32_t flags = info_.flags;
    bool inPlace = false;
    switch (environment_->getOutputPolicy(this)) {
    case 1:
        inPlace = (flags & ModuleInfo::kInPlace) && (flags & ModuleInfo::kInPlaceStrict);
        break;
    case 2:
    case 3:
        inPlace = (flags & ModuleInfo::kInPlace) != 0;
        break;
    default:
        break;
    }
    if (inPlace)
        createOutputsInPlace();
    else
        createOutputsBuffered();
}

void ModuleBasic::createOutputsBuffered()
{
    addOutputBuffered(OutputBuffered("Out", "", blockCapacity_));
}

void ModuleBasic::createOutputsInPlace()
{
    if (inputs_.empty()) { // nothing to share: fall back to a buffer of its own
        createOutputsBuffered();
        return;
    }
    addOutputInPlace(OutputShared("Out", "", inputs_.begin()->second.get()));
}

void ModuleBasic::selectProcessRoutine()
{
    routine_ = &ModuleBasic::processBlock;
    if (info_.flags & ModuleInfo::kVector)
        routine_ = &ModuleBasic::processBlockVector;
    if (info_.flags & ModuleInfo::kAlternative)
        routine_ = &ModuleBasic::processBlockAlt;
}

Output* ModuleBasic::addOutputInPlace(const Port& prototype)
{
    return outputs_.insert(prototype.getName(), std::make_unique<OutputInPlace>(
                                                    prototype.getName(), prototype.getDescription(),
                                                    prototype.getSource()));
}

Output* ModuleBasic::addOutputBuffered(const OutputBuffered& prototype)
{
    return outputs_.addBufferedOutput(prototype, prototype.getName());
}

} // namespace AudioEngine
