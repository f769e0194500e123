#pragma once

#include "engine/core/ModuleStructured.h"

#include <string_view>

namespace AudioEngine {

// N elements in series. The array takes its inputs from the first element and
// its outputs from the last one; a subclass creates the elements.
//
// Series wiring: the first element's inputs take the array's inputs step by
// step in name order; every further element takes the array's dry input
// ("InDry") unchanged and its other inputs, step by step, from the outputs of
// the element before it; the array's outputs stand for the last element's.
// So "In" runs through the whole chain while each element also hears the
// signal as it entered the chain.
template <class Selector, unsigned N> class ModuleArray : public ModuleStructured {
    static_assert(N >= 1, "an array holds one element at least");

public:
    ModuleArray() : ModuleStructured(ModuleInfo{0, "ModuleArray", ""}) {}

    void createInputs() override
    {
        for (const auto& [name, input] : first().getInputs())
            inputs_.addInput(Input(name, ""), name);
    }

    // Their sources are set when connecting.
    void createOutputs() override
    {
        for (const auto& [name, output] : last().getOutputs())
            outputs_.addHierarchicOutput(Port(name, "", nullptr), name);
    }

    void connectSubModules() override
    {
        connectInputsToFirst();
        for (std::size_t k = 1; k < subModules_.size(); ++k) {
            const Outputs& previous = subModules_[k - 1].module->getOutputs();
            auto feed = previous.begin();
            for (const auto& [name, input] : subModules_[k].module->getInputs()) {
                if (std::string_view(name).find("InDry") != std::string_view::npos) {
                    input->connect(&getInput(name));
                } else if (feed != previous.end()) {
                    input->connect(feed->second.get());
                    ++feed;
                }
            }
        }
        auto source = last().getOutputs().begin();
        for (const auto& [name, output] : outputs_) {
            if (source == last().getOutputs().end())
                break;
            output->connect(source->second.get());
            ++source;
        }
    }

    // Pairs the first element's inputs with the array's own, step by step in
    // name order, until either side runs out.
    virtual void connectInputsToFirst()
    {
        auto own = inputs_.begin();
        for (const auto& [name, input] : first().getInputs()) {
            if (own == inputs_.end())
                break;
            input->connect(own->second.get());
            ++own;
        }
    }

protected:
    Module& first() const { return *subModules_.front().module; }
    Module& last() const { return *subModules_.back().module; }
};

} // namespace AudioEngine
