#pragma once

#include "engine/core/ModuleStructured.h"

namespace AudioEngine::CX2::Application {

// A stereo adder followed by a stereo splitter: both "Out1" and "Out2" of each
// side carry "In1" + "In2" of that side.
class AddAndSplitStereo : public ModuleStructured {
public:
    AddAndSplitStereo() : ModuleStructured(ModuleInfo{0, "AddAndSplitStereo", ""}) {}

    void createSubModules() override;
    void connectSubModules() override;
    void createInputs() override;
    void createOutputs() override;
    void createParameters() override {}
};

} // namespace AudioEngine::CX2::Application
