#pragma once

#include "engine/core/ModuleStructured.h"

namespace AudioEngine::CX2::Application {

// Two splitters side by side: "InL" to "Out1L" and "Out2L", "InR" to "Out1R"
// and "Out2R".
class SplitterStereo : public ModuleStructured {
public:
    SplitterStereo() : ModuleStructured(ModuleInfo{0, "SplitterStereo", ""}) {}

    void createSubModules() override;
    void connectSubModules() override;
    void createInputs() override;
    void createOutputs() override;
    void createParameters() override {}
};

} // namespace AudioEngine::CX2::Application
