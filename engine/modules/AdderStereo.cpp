#include "engine/modules/AdderStereo.h"

#include "engine/modules/Adder.h"

namespace AudioEngine::CX2::Application {

void AdderStereo::createSubModules()
{
    addSubModule<Adder<2>>("AdderL");
    addSubModule<Adder<2>>("AdderR");
}

void AdderStereo::connectSubModules()
{
    for (const char* side : {"L", "R"}) {
        Module& adder = getSubModule(std::string("Adder") + side);
        connectInput(adder, "In1", &getInput(std::string("In1") + side));
        connectInput(adder, "In2", &getInput(std::string("In2") + side));
    }
}

void AdderStereo::createInputs()
{
    for (const char* name : {"In1L", "In2L", "In1R", "In2R"})
        inputs_.addInput(Input(name, ""), name);
}

void AdderStereo::createOutputs()
{
    outputs_.addHierarchicOutput(Port("OutL", "", &getSubModule("AdderL").getOutput("Out")),
                                 "OutL");
    outputs_.addHierarchicOutput(Port("OutR", "", &getSubModule("AdderR").getOutput("Out")),
                                 "OutR");
}

} // namespace AudioEngine::CX2::Application
