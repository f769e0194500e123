#pragma once

#include "engine/core/ModuleStructured.h"

namespace AudioEngine::CX2::Application {

// Two adders side by side: "OutL" = "In1L" + "In2L", "OutR" = "In1R" + "In2R".
class AdderStereo : public ModuleStructured {
public:
    AdderStereo() : ModuleStructured(ModuleInfo{0, "AdderStereo", ""}) {}

    void createSubModules() override;
    void connectSubModules() override;
    void createInputs() override;
    void createOutputs() override;
    void createParameters() override {}
};

} // namespace AudioEngine::CX2::Application
