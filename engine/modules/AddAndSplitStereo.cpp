#include "engine/modules/AddAndSplitStereo.h"

#include "engine/modules/AdderStereo.h"
#include "engine/modules/SplitterStereo.h"

namespace AudioEngine::CX2::Application {

namespace {
constexpr const char* kInputs[] = {"In1L", "In2L", "In1R", "In2R"};
constexpr const char* kOutputs[] = {"Out1L", "Out2L", "Out1R", "Out2R"};
} // namespace

void AddAndSplitStereo::createSubModules()
{
    addSubModule<AdderStereo>("Adder");
    addSubModule<SplitterStereo>("Splitter");
}

void AddAndSplitStereo::connectSubModules()
{
    Module& adder = getSubModule("Adder");
    Module& splitter = getSubModule("Splitter");
    for (const char* name : kInputs)
        connectInput(adder, name, &getInput(name));
    connectInput(splitter, "InL", &adder.getOutput("OutL"));
    connectInput(splitter, "InR", &adder.getOutput("OutR"));
}

void AddAndSplitStereo::createInputs()
{
    for (const char* name : kInputs)
        inputs_.addInput(Input(name, ""), name);
}

void AddAndSplitStereo::createOutputs()
{
    Module& splitter = getSubModule("Splitter");
    for (const char* name : kOutputs)
        outputs_.addHierarchicOutput(Port(name, "", &splitter.getOutput(name)), name);
}

} // namespace AudioEngine::CX2::Application
