#include "engine/modules/MixerStereo.h"

namespace AudioEngine::BorvanQom::Application {

void MixerStereo::setParameter(std::string_view name, float value)
{
    ModuleStructured::setParameter(name, value);
    if (name == "Mix") {
        for (Combinator* combinator : {left_, right_}) {
            combinator->setParameter("A1", value);
            combinator->setParameter("A2", 1.0f - value);
        }
    }
}

void MixerStereo::createSubModules()
{
    left_ = addSubModule<Combinator>("LinearComb2L");
    right_ = addSubModule<Combinator>("LinearComb2R");
}

void MixerStereo::connectSubModules()
{
    connectInput(*left_, "In1", &getInput("In1L"));
    connectInput(*left_, "In2", &getInput("In2L"));
    connectInput(*right_, "In1", &getInput("In1R"));
    connectInput(*right_, "In2", &getInput("In2R"));
}

void MixerStereo::createInputs()
{
    for (const char* name : {"In1L", "In2L", "In1R", "In2R"})
        inputs_.addInput(Input(name, ""), name);
}

void MixerStereo::createOutputs()
{
    outputs_.addHierarchicOutput(Port("OutL", "", &left_->getOutput("Out")), "OutL");
    outputs_.addHierarchicOutput(Port("OutR", "", &right_->getOutput("Out")), "OutR");
}

void MixerStereo::createParameters()
{
    parameters_.addParameter(Parameter("Mix", "", 0.0f, 1.0f, 0.5f, 0), "Mix");
}

} // namespace AudioEngine::BorvanQom::Application
