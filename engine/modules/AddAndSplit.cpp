#include "engine/modules/AddAndSplit.h"

#include "engine/modules/Adder.h"
#include "engine/modules/Splitter.h"

namespace AudioEngine::CX2::Application {

void AddAndSplit::createSubModules()
{
    addSubModule<Adder<2>>("Adder");
    addSubModule<Splitter>("Splitter");
}

void AddAndSplit::connectSubModules()
{
    Module& adder = getSubModule("Adder");
    connectInput(adder, "In1", &getInput("In1"));
    connectInput(adder, "In2", &getInput("In2"));
    connectInput(getSubModule("Splitter"), "In", &adder.getOutput("Out"));
}

void AddAndSplit::createInputs()
{
    inputs_.addInput(Input("In1", ""), "In1");
    inputs_.addInput(Input("In2", ""), "In2");
}

void AddAndSplit::createOutputs()
{
    Module& splitter = getSubModule("Splitter");
    outputs_.addHierarchicOutput(Port("Out1", "", &splitter.getOutput("Out1")), "Out1");
    outputs_.addHierarchicOutput(Port("Out2", "", &splitter.getOutput("Out2")), "Out2");
}

} // namespace AudioEngine::CX2::Application
