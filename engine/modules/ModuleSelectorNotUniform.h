#pragma once

#include "engine/modules/ModuleSelector.h"

namespace AudioEngine {

// A selector over elements with different parameter sets (the amp models). It
// shows the union of all elements' parameters, each linked to the current
// element when it has it and otherwise to the first element in set order that
// does. Nothing is carried across a switch: every element keeps its own
// settings. A switch changes what the links below reach, so the parents are
// told to relink.
template <class Set> class ModuleSelectorNotUniform : public ModuleSelector<Set> {
    using Base = ModuleSelector<Set>;

public:
    void createParameters() override
    {
        Base::createParameters();
        for (const auto& element : this->elements_)
            if (element.get() != this->current_)
                this->linkElement(*element);
    }

    void saveParameters(typename Base::ParameterStore&) override {}
    void restoreParameters(const typename Base::ParameterStore&) override {}

    void select(std::uint32_t index) override
    {
        Base::select(index);
        this->parent_->structureChanged();
    }

    // The change queue sets the switch at once instead of by whole-number steps.
    std::uint32_t getSelectorParameterFlags() const override { return Parameter::kSetAtOnce; }
};

} // namespace AudioEngine
