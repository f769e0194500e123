#include "engine/core/ModuleStructured.h"

#include <ostream>
#include <stdexcept>

namespace AudioEngine {

ModuleStructured::ModuleStructured(const ModuleStructured& other)
    : Module(other), EnvironmentLocal()
{
    if (!other.subModules_.empty())
        throw std::logic_error("a composite can only be copied before it has sub-modules");
    parent_ = other.parent_;
}

void ModuleStructured::build(Environment* environment)
{
    setEnvironment(environment);
    createSubModules();
    for (const auto& entry : subModules_)
        entry.module->build(localEnvironment());
    createParameters();
    createInputs();
    createOutputs();
    prepare();
}

void ModuleStructured::process()
{
    for (const auto& entry : subModules_)
        entry.module->process();
}

void ModuleStructured::connect()
{
    connectSubModules();
    for (const auto& entry : subModules_)
        entry.module->connect();
}

void ModuleStructured::resolveConnections()
{
    for (auto& [name, input] : inputs_)
        input->resolve();
    for (const auto& entry : subModules_)
        entry.module->resolveConnections();
    for (auto& [name, output] : outputs_)
        output->resolve();
}

void ModuleStructured::bindPorts()
{
    for (const auto& entry : subModules_)
        entry.module->bindPorts();
}

void ModuleStructured::describe(std::ostream& stream, const std::string& prefix) const
{
    for (const auto& [name, input] : inputs_)
        describePort(stream, prefix, *input);
    for (const auto& entry : subModules_)
        entry.module->describe(stream, prefix + "_" + entry.name);
    for (const auto& [name, output] : outputs_)
        describePort(stream, prefix, *output);
}

void ModuleStructured::resetParametersToDefaults()
{
    for (const auto& entry : subModules_)
        entry.module->resetParametersToDefaults();
    for (const auto& [name, parameter] : parameters_)
        setParameter(name, parameter->getDefault());
}

void ModuleStructured::update()
{
    for (const auto& entry : subModules_)
        entry.module->update();
}

void ModuleStructured::notify()
{
    for (const auto& entry : subModules_)
        entry.module->notify();
}

void ModuleStructured::reset()
{
    for (const auto& entry : subModules_)
        entry.module->reset();
}

void ModuleStructured::createParameters() { linkSubModuleParameters(); }

void ModuleStructured::linkSubModuleParameters()
{
    for (const auto& entry : subModules_) {
        for (const auto& [name, parameter] : entry.module->getParameters()) {
            std::string composed = ParameterLinked::composeName(name, entry.name);
            parameters_.insert(composed,
                               std::make_unique<ParameterLinked>(entry.module.get(), name, composed, ""));
        }
    }
}

void ModuleStructured::linkChildParameters(std::string_view subModuleName)
{
    Module& child = getSubModule(subModuleName);
    for (const auto& [name, parameter] : child.getParameters())
        parameters_.insert(name, std::make_unique<ParameterLinked>(&child, name));
}

void ModuleStructured::connectInput(Module& module, std::string_view inputName, Port* source)
{
    module.getInput(inputName).connect(source);
}

namespace {

// Pairs two port maps step by step in name order. Every port of the reading
// side needs a partner; extra ports on the offering side (a wrapper's "InDry",
// an output nobody reads) are left alone.
template <class Readers, class Offers, class Connect>
void pairByStep(const Readers& readers, const Offers& offers, const std::string& where, Connect connect)
{
    auto offer = offers.begin();
    for (const auto& [name, reader] : readers) {
        if (offer == offers.end())
            throw std::logic_error("series wiring of \"" + where + "\": port \"" + name +
                                   "\" has no partner");
        connect(*reader, *offer->second);
        ++offer;
    }
}

} // namespace

void ModuleStructured::connectThrough()
{
    if (subModules_.empty())
        throw std::logic_error("series wiring of \"" + instanceName_ + "\": no sub-modules");
    auto connectTo = [](Port& reader, Port& source) { reader.connect(&source); };
    pairByStep(subModules_.front().module->getInputs(), inputs_, instanceName_, connectTo);
    for (std::size_t k = 1; k < subModules_.size(); ++k)
        pairByStep(subModules_[k].module->getInputs(), subModules_[k - 1].module->getOutputs(),
                   instanceName_, connectTo);
    pairByStep(outputs_, subModules_.back().module->getOutputs(), instanceName_, connectTo);
}

void ModuleMono::createInputs() { inputs_.addInput(Input("In", ""), "In"); }

void ModuleMono::createOutputs()
{
    if (subModules_.empty())
        throw std::logic_error("\"" + instanceName_ + "\" has no sub-module to take \"Out\" from");
    Port& last = subModules_.back().module->getOutput("Out");
    outputs_.addHierarchicOutput(Port("Out", "", &last), "Out");
}

void ModuleExplicit::describe(std::ostream& stream, const std::string& prefix) const
{
    for (const auto& [name, input] : inputs_)
        describePort(stream, prefix, *input);
    for (const auto& [name, output] : outputs_)
        describePort(stream, prefix, *output);
}

} // namespace AudioEngine
