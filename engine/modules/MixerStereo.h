#pragma once

#include "engine/core/ModuleStructured.h"
#include "engine/modules/LinearComb2.h"

namespace AudioEngine::BorvanQom::Application {

// Crossfades two stereo signals: "OutL" = Mix x "In1L" + (1 - Mix) x "In2L",
// the same on the right. Only "Mix" is exposed; it drives the weights of both
// combinators.
class MixerStereo : public ModuleStructured {
public:
    using Combinator = LinearComb2<LinearComb2MixerDetails::ScaleDescriptor,
                                   LinearComb2MixerDetails::ScaleDescriptor>;

    MixerStereo() : ModuleStructured(ModuleInfo{0, "MixerStereo", ""}) {}

    // "Mix" also sets "A1" to the value given and "A2" to 1 minus it, each then
    // limited by its own range.
    void setParameter(std::string_view name, float value) override;
    void createSubModules() override;
    void connectSubModules() override;
    void createInputs() override;
    void createOutputs() override;
    void createParameters() override;

private:
    Combinator* left_ = nullptr;
    Combinator* right_ = nullptr;
};

} // namespace AudioEngine::BorvanQom::Application
