#include "engine/core/ModuleStructured.h"

#include <array>
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

void ModuleStructured::createParameters()
{
    linkSubModuleParameters();
}

void ModuleStructured::linkSubModuleParameters()
{
    for (const auto& entry : subModules_) {
        for (const auto& [name, parameter] : entry.module->getParameters()) {
            std::string composed = ParameterLinked::composeName(name, entry.name);
            parameters_.insert(composed, std::make_unique<ParameterLinked>(entry.module.get(), name,
                                                                           composed, ""));
        }
    }
}

namespace {

// "P_C" composed into a stack buffer, for lookups that must not allocate.
class ComposedName {
public:
    ComposedName(std::string_view name, std::string_view child)
    {
        const std::size_t total = name.size() + 1 + child.size();
        if (total > text_.size()) {
            heap_ = ParameterLinked::composeName(name, child);
            view_ = heap_;
            return;
        }
        std::copy(name.begin(), name.end(), text_.begin());
        text_[name.size()] = '_';
        std::copy(child.begin(), child.end(), text_.begin() + name.size() + 1);
        view_ = std::string_view(text_.data(), total);
    }
    std::string_view view() const noexcept { return view_; }

private:
    std::array<char, 256> text_{};
    std::string heap_;
    std::string_view view_;
};

// The relinking shared by parameters and data blocks: re-point, drop links
// whose target is gone, link new names.
template <class Map, class Link, class FindTarget, class ChildMap>
void relinkInPlace(Map& map, const ModuleStructuredDetails::SubModules& subModules,
                   FindTarget findTarget, ChildMap childMap)
{
    map.eraseIf([&](const auto& entry) {
        auto* link = dynamic_cast<const Link*>(&entry);
        return link && !findTarget(*link);
    });
    for (const auto& [name, entry] : map)
        if (auto* link = dynamic_cast<Link*>(entry.get()))
            link->relink(findTarget(*link));
    for (const auto& sub : subModules) {
        Module* module = sub.module.get();
        for (const auto& [name, target] : childMap(*module)) {
            const ComposedName composed(name, sub.name);
            if (!map.find(composed.view())) {
                std::string text(composed.view());
                map.insert(text, std::make_unique<Link>(module, name, text, ""));
            }
        }
    }
}

} // namespace

void ModuleStructured::relinkSubModuleParameters()
{
    relinkInPlace<Parameters, ParameterLinked>(
        parameters_, subModules_,
        [](const ParameterLinked& link) -> ParameterHandler* {
            ParameterHandler* module = link.getModule();
            return module && module->findParameter(link.getTargetName()) ? module : nullptr;
        },
        [](Module& module) -> const Parameters& { return module.getParameters(); });
}

void ModuleStructured::relinkSubModuleDataBlocks()
{
    relinkInPlace<DataBlocks, DataBlockLinked>(
        dataBlocks_, subModules_,
        [](const DataBlockLinked& link) -> DataBlockHandler* {
            DataBlockHandler* module = link.getModule();
            return module && module->findDataBlock(link.getTargetName()) ? module : nullptr;
        },
        [](Module& module) -> const DataBlocks& { return module.getDataBlocks(); });
}

void ModuleStructured::linkChildParameters(std::string_view subModuleName)
{
    Module& child = getSubModule(subModuleName);
    for (const auto& [name, parameter] : child.getParameters())
        parameters_.insert(name, std::make_unique<ParameterLinked>(&child, name));
}

void ModuleStructured::linkParameters(std::span<const ModuleStructuredDetails::ParameterLink> links)
{
    for (const auto& link : links) {
        std::string name(link.name);
        parameters_.insert(name,
                           std::make_unique<ParameterLinked>(&getSubModule(link.child),
                                                             std::string(link.target), name, ""));
    }
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
void pairByStep(const Readers& readers, const Offers& offers, const std::string& where,
                Connect connect)
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

void ModuleMono::createInputs()
{
    inputs_.addInput(Input("In", ""), "In");
}

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
