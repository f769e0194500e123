#pragma once

#include "engine/host/ModuleArray.h"

#include <string>

namespace AudioEngine::CX2::Application {

// An array of N Selector elements named "0" .. "N-1", in series in that order.
template <class Selector, unsigned N> class ModuleArrayCX2 : public ModuleArray<Selector, N> {
public:
    void createSubModules() override
    {
        for (unsigned k = 0; k < N; ++k)
            this->template addSubModule<Selector>(std::to_string(k));
    }
};

} // namespace AudioEngine::CX2::Application
