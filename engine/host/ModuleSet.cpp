#include "engine/host/ModuleSet.h"

namespace AudioEngine {

ModuleSetBase::ModuleSetBase(const ModuleSelectorDetails::ModuleCreators& creators)
    : ModuleStructured(ModuleInfo{0, "ModuleSet", ""}), creators_(creators)
{
}

void ModuleSetBase::createSubModules()
{
    for (const auto& entry : parent_->getStructure().modules) {
        std::unique_ptr<Module> module = creators_.create(entry.type);
        module->setInstanceName(entry.instance);
        subModules_.add(entry.instance, std::move(module));
    }
}

void ModuleSetBase::createInputs()
{
    for (const auto& [name, port] : parent_->getStructure().hostInputs)
        if (!inputs_.contains(name))
            inputs_.addInput(Input(name, ""), name);
}

void ModuleSetBase::createOutputs()
{
    for (const auto& [name, port] : parent_->getStructure().hostOutputs)
        if (!outputs_.contains(name))
            outputs_.addHierarchicOutput(
                Port(name, "", &getSubModule(port.module).getOutput(port.port)), name);
}

void ModuleSetBase::createParameters()
{
    for (const auto& entry : subModules_) {
        Module* module = entry.module.get();
        for (const auto& [name, parameter] : module->getParameters()) {
            std::string composed = ParameterLinked::composeName(name, entry.name);
            parameters_.insert(composed,
                               std::make_unique<ParameterLinked>(module, name, composed, ""));
        }
        for (const auto& [name, block] : module->getDataBlocks()) {
            std::string composed = ParameterLinked::composeName(name, entry.name);
            dataBlocks_.insert(composed,
                               std::make_unique<DataBlockLinked>(module, name, composed, ""));
        }
    }
}

void ModuleSetBase::connectSubModules()
{
    const ModuleSetDescription& description = parent_->getStructure();
    for (const auto& [name, port] : description.hostInputs)
        connectInput(getSubModule(port.module), port.port, &getInput(name));
    for (const auto& connection : description.connections)
        connectInput(getSubModule(connection.destinationModule), connection.destinationInput,
                     &getSubModule(connection.sourceModule).getOutput(connection.sourceOutput));
}

void ModuleSetBase::structureChanged()
{
    relinkSubModuleParameters();
    relinkSubModuleDataBlocks();
    parent_->structureChanged();
}

} // namespace AudioEngine
