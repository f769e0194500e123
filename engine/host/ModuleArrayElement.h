#pragma once

#include "engine/core/Port.h"

namespace AudioEngine::CX2::Application {

// A model made fit for an array slot: it gets the dry input "InDry", which the
// array feeds with the signal as it entered the chain.
template <class T> class ModuleArrayElement : public T {
public:
    using T::T;

    void createInputs() override
    {
        T::createInputs();
        if (!this->inputs_.contains("InDry"))
            this->inputs_.addInput(Input("InDry", ""), "InDry");
    }
};

} // namespace AudioEngine::CX2::Application
