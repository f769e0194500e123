#pragma once

#include "engine/core/ModuleStructured.h"

namespace AudioEngine::CX2::Application {

// "In1" + "In2", presented twice, on "Out1" and "Out2".
class AddAndSplit : public ModuleStructured {
public:
    AddAndSplit() : ModuleStructured(ModuleInfo{0, "AddAndSplit", ""}) {}

    void createSubModules() override;
    void connectSubModules() override;
    void createInputs() override;
    void createOutputs() override;
    void createParameters() override {}
};

} // namespace AudioEngine::CX2::Application
