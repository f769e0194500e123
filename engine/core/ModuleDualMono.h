#pragma once

#include "engine/core/ModuleStructured.h"

#include <memory>
#include <vector>

namespace AudioEngine {

namespace ModuleDualMonoDetails {
// Exposes one parameter of the pair once, setting both channels.
struct LinkParameter {
    static std::unique_ptr<ParameterBase> create(const std::string& name, Module& left,
                                                 Module& right)
    {
        return std::make_unique<ParameterMultiLink>(name,
                                                    std::vector<ParameterHandler*>{&left, &right});
    }
};
} // namespace ModuleDualMonoDetails

// A stereo pair of identical mono modules "L" and "R" between "InL"/"InR" and
// "OutL"/"OutR", with each parameter of "L" exposed once under its own name.
template <class T, class LinkParameter = ModuleDualMonoDetails::LinkParameter>
class ModuleDualMono : public ModuleStructured {
public:
    ModuleDualMono() : ModuleStructured(ModuleInfo{0, "ModuleDualMono", ""}) {}

    void createSubModules() override
    {
        left_ = addSubModule<T>("L");
        right_ = addSubModule<T>("R");
    }
    void createParameters() override
    {
        for (const auto& [name, parameter] : left_->getParameters())
            parameters_.insert(name, LinkParameter::create(name, *left_, *right_));
    }
    void createInputs() override
    {
        inputs_.addInput(Input("InL", ""), "InL");
        inputs_.addInput(Input("InR", ""), "InR");
    }
    void createOutputs() override
    {
        outputs_.addHierarchicOutput(Port("OutL", "", &left_->getOutput("Out")), "OutL");
        outputs_.addHierarchicOutput(Port("OutR", "", &right_->getOutput("Out")), "OutR");
    }
    void connectSubModules() override
    {
        connectInput(*left_, "In", &getInput("InL"));
        connectInput(*right_, "In", &getInput("InR"));
    }

protected:
    T* left_ = nullptr;
    T* right_ = nullptr;
};

} // namespace AudioEngine
