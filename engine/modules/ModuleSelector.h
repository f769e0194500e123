#pragma once

#include "engine/core/Module.h"
#include "engine/host/ModuleCreators.h"

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace AudioEngine {

// Holds one element per entry of a creator list (Set) and routes its ports and
// parameters to exactly one of them, chosen by the switch parameter named
// Set::name. Every element is built once with the selector; a switch only
// re-points ports and parameter links, so an element switched away keeps its
// state and its settings.
//
// This uniform form is for sets whose elements share one parameter set (power
// modes, detail levels, LFO waveforms): the values of the element switched
// away are carried over to the element switched to.
//
// Switches run on the audio thread, between pieces: nothing in select
// allocates (the store of carried values holds every name from the build on).
template <class Set> class ModuleSelector : public Module, public EnvironmentLocal {
public:
    // Values carried across a switch, by parameter name.
    using ParameterStore = std::map<std::string, float, std::less<>>;

    ModuleSelector() : Module(ModuleInfo{0, "ModuleSelector", ""}), selectorName_(Set::name) {}

    // The switch parameter switches when its whole-number part changes. The
    // index is taken from the parameter after it has limited the value, so a
    // negative, too large or NaN value never selects outside the set.
    void setParameter(std::string_view name, float value) override
    {
        if (name != selectorName_) {
            Module::setParameter(name, value);
            return;
        }
        ParameterBase& selector = getParameter(selectorName_);
        selector.set(value);
        const std::uint32_t index = indexOf(selector.getValue());
        if (index != currentIndex_)
            select(index);
    }

    void build(Environment* environment) override
    {
        setEnvironment(environment);
        createElements();
        if (elements_.empty())
            throw std::logic_error("selector \"" + instanceName_ + "\" has an empty set");
        current_ = elements_.front().get();
        currentIndex_ = 0;
        createParameters();
        createInputs();
        createOutputs();
        connectElementInputs();
        connectElementOutputs();
        resolveConnections();
        prepare();
    }

    void process() override { current_->process(); }

    void connect() override
    {
        connectElementInputs();
        current_->connect();
        connectElementOutputs();
    }

    void resolveConnections() override
    {
        for (auto& [name, input] : inputs_)
            input->resolve();
        current_->resolveConnections();
        for (auto& [name, output] : outputs_)
            output->resolve();
    }

    void bindPorts() override { current_->bindPorts(); }

    void describe(std::ostream& stream, const std::string& prefix) const override
    {
        for (const auto& [name, input] : inputs_)
            describePort(stream, prefix, *input);
        current_->describe(stream, prefix + "_" + set_[currentIndex_].name);
        for (const auto& [name, output] : outputs_)
            describePort(stream, prefix, *output);
    }

    // The switch parameter goes back to its default too, which selects element 0.
    void resetParametersToDefaults() override
    {
        for (const auto& [name, parameter] : parameters_)
            setParameter(name, parameter->getDefault());
    }

    // Every element, current or not: a rate change must reach the elements
    // that are switched away as well.
    void update() override
    {
        for (const auto& element : elements_)
            element->update();
    }

    void notify() override
    {
        for (const auto& element : elements_)
            element->notify();
    }

    void reset() override { current_->reset(); }

    void createInputs() override
    {
        for (const auto& [name, input] : current_->getInputs())
            inputs_.addInput(*input, name);
    }

    void createOutputs() override
    {
        for (const auto& [name, output] : current_->getOutputs())
            outputs_.addConnectableOutput(
                Port(output->getName(), output->getDescription(), output.get()), name);
    }

    void createParameters() override
    {
        if (parameters_.empty()) {
            ParameterBase::States states;
            for (const auto& entry : set_)
                states.add(entry.name);
            parameters_.addParameter(Parameter(selectorName_, "", states, set_.front().name,
                                               getSelectorParameterFlags()),
                                     selectorName_);
        }
        linkElement(*current_);
        for (const auto& [name, parameter] : parameters_)
            if (name != selectorName_)
                savedValues_.try_emplace(name, 0.0f);
    }

    void prepare() override {}
    void setEnvironment(Environment* environment) override { setParentEnvironment(environment); }

    virtual Module* getCurrentElement() const { return current_; }

    virtual void saveParameters(ParameterStore& store)
    {
        for (const auto& [name, parameter] : parameters_)
            if (name != selectorName_)
                store[name] = parameter->getValue();
    }

    virtual void restoreParameters(const ParameterStore& store)
    {
        for (const auto& [name, value] : store)
            setParameter(name, value);
    }

    virtual void select(std::uint32_t index)
    {
        index = std::min<std::uint32_t>(index, getElementCount() - 1);
        saveParameters(savedValues_);
        current_ = elements_[index].get();
        currentIndex_ = index;
        // While the host is in the middle of a graph change it resets the
        // graph itself once the change is applied.
        if (getState() == 0)
            reset();
        relinkToCurrent();
        restoreParameters(savedValues_);
        prepare();
        connect();
        resolveConnections();
        bindPorts();
    }

    // Links whose name the current element lacks stay with their element.
    virtual void relinkToCurrent()
    {
        for (const auto& [name, parameter] : parameters_) {
            if (name == selectorName_)
                continue;
            auto* link = dynamic_cast<ParameterLinked*>(parameter.get());
            if (link && current_->findParameter(link->getTargetName()))
                link->relink(current_);
        }
        for (const auto& [name, block] : dataBlocks_) {
            auto* link = dynamic_cast<DataBlockLinked*>(block.get());
            if (link && current_->findDataBlock(link->getTargetName()))
                link->relink(current_);
        }
    }

    virtual void connectElementInputs()
    {
        for (const auto& [name, input] : current_->getInputs())
            input->connect(&getInput(name));
    }

    // The outputs are connectable, so modules downstream, which read them
    // through their port pointers, hear the new element from the next piece on.
    virtual void connectElementOutputs()
    {
        for (const auto& [name, output] : outputs_)
            output->connect(&current_->getOutput(name));
    }

    virtual std::uint32_t getElementCount() const
    {
        return static_cast<std::uint32_t>(set_.size());
    }

    virtual void removeLinkedParameters()
    {
        parameters_.eraseIf([&](const ParameterBase& p) { return p.getName() != selectorName_; });
        dataBlocks_.eraseIf([&](const DataBlockBase& b) { return b.getName() != selectorName_; });
    }

    virtual std::uint32_t getSelectorParameterFlags() const { return 0; }

    virtual void createElements()
    {
        for (const auto& entry : set_) {
            std::unique_ptr<Module> element = entry.module->create();
            element->setInstanceName(entry.name);
            element->build(this);
            element->bindPorts();
            element->resetParametersToDefaults();
            element->connect();
            elements_.push_back(std::move(element));
        }
    }

    std::uint32_t getCurrentIndex() const noexcept { return currentIndex_; }
    Module& getElement(std::uint32_t index) const { return *elements_.at(index); }

protected:
    // Links every parameter and data block of the element that the selector
    // does not show yet, under its own name.
    void linkElement(Module& element)
    {
        for (const auto& [name, parameter] : element.getParameters())
            if (!parameters_.contains(name))
                parameters_.insert(name, std::make_unique<ParameterLinked>(&element, name, name,
                                                                           parameter->getLabel()));
        for (const auto& [name, block] : element.getDataBlocks())
            if (!dataBlocks_.contains(name))
                dataBlocks_.insert(name, std::make_unique<DataBlockLinked>(&element, name, name,
                                                                           block->getLabel()));
    }

    // A value of the switch parameter as an element index; the parameter has
    // limited it to 0 .. count - 1 already, the guard keeps select in bounds
    // whatever the parameter holds.
    std::uint32_t indexOf(float value) const noexcept
    {
        if (!(value >= 0.0f))
            return 0;
        const float last = static_cast<float>(getElementCount() - 1);
        return static_cast<std::uint32_t>(std::min(value, last));
    }

    Set set_;
    std::string selectorName_;
    Module* current_ = nullptr;
    std::uint32_t currentIndex_ = 0;
    std::vector<std::unique_ptr<Module>> elements_;
    ParameterStore savedValues_;
};

} // namespace AudioEngine
