#include "engine/modules/SplitterStereo.h"

#include "engine/modules/Splitter.h"

namespace AudioEngine::CX2::Application {

void SplitterStereo::createSubModules()
{
    addSubModule<Splitter>("SplitterL");
    addSubModule<Splitter>("SplitterR");
}

void SplitterStereo::connectSubModules()
{
    connectInput(getSubModule("SplitterL"), "In", &getInput("InL"));
    connectInput(getSubModule("SplitterR"), "In", &getInput("InR"));
}

void SplitterStereo::createInputs()
{
    inputs_.addInput(Input("InL", ""), "InL");
    inputs_.addInput(Input("InR", ""), "InR");
}

void SplitterStereo::createOutputs()
{
    for (const char* side : {"L", "R"}) {
        Module& splitter = getSubModule(std::string("Splitter") + side);
        for (const char* out : {"Out1", "Out2"}) {
            const std::string name = std::string(out) + side;
            outputs_.addHierarchicOutput(Port(name, "", &splitter.getOutput(out)), name);
        }
    }
}

} // namespace AudioEngine::CX2::Application
