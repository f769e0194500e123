#include "WrapperTestModules.h"
#include "engine/modules/SelectorSets.h"
#include "tests/support/ElementRig.h"

#include "engine/host/ModuleArrayCX2.h"
#include "engine/host/ModuleArrayElement.h"
#include "engine/host/ModuleCX2.h"

#include <gtest/gtest.h>

#include <set>

using namespace rig;
using AudioEngine::CX2::Application::ModuleArrayCX2;
using AudioEngine::CX2::Application::ModuleArrayElement;
using AudioEngine::CX2::Application::ModuleCX2;

namespace {

using Chain = ModuleCX2<ModuleArrayCX2<ModuleArrayElement<Doubler>, 3>>;

std::set<std::string> parameterNames(const Module& module)
{
    std::set<std::string> names;
    for (const auto& [name, parameter] : module.getParameters())
        names.insert(name);
    return names;
}

} // namespace

TEST(ModuleArray, InRunsThroughTheElementsWhileEachHearsTheDryInput)
{
    RootEnvironment environment;
    Chain chain;
    bringUp(chain, environment);
    EXPECT_EQ(chain.getInfo().type, "ModuleArray");
    ASSERT_EQ(chain.getSubModules().size(), 3u);
    EXPECT_EQ(chain.getSubModules()[0].name, "0");
    EXPECT_EQ(chain.getSubModules()[2].name, "2");
    EXPECT_EQ(chain.getInputs().size(), 2u); // "In" and "InDry", from the first element

    Feed in, dry;
    in.fill(1.0f);
    dry.fill(100.0f);
    chain.getInput("In").connect(&in);
    chain.resolveConnections();
    chain.process();
    EXPECT_EQ(chain.getOutput("Out").getBuffer()[0], 8.0f) << "an open dry input reads silence";

    chain.getInput("InDry").connect(&dry);
    chain.resolveConnections();
    chain.process();
    // ((2 x 1 + 100) x 2 + 100) x 2 + 100: every element adds the dry input once.
    EXPECT_EQ(chain.getOutput("Out").getBuffer()[63], 8.0f + 700.0f);
    for (const char* element : {"1", "2"})
        EXPECT_EQ(chain.getSubModule(element).getInput("InDry").getBuffer(), dry.data()) << element;
    EXPECT_EQ(chain.getSubModule("1").getInput("In").getBuffer(),
              chain.getSubModule("0").getOutput("Out").getBuffer());
}

TEST(ModuleArray, AnElementGetsOneDryInputWhateverItHadBefore)
{
    RootEnvironment environment;
    ModuleArrayElement<Doubler> once;
    ModuleArrayElement<ModuleArrayElement<Doubler>> twice;
    bringUp(once, environment);
    bringUp(twice, environment);
    for (const Module* element : {static_cast<Module*>(&once), static_cast<Module*>(&twice)}) {
        EXPECT_EQ(element->getInputs().size(), 2u);
        EXPECT_TRUE(element->getInputs().contains("InDry"));
    }
}

TEST(ModuleArray, WrapperLinksParameterFirstAndRelinksAfterAModelSwitch)
{
    using Stages = ModuleCX2<ModuleArrayCX2<ModuleArrayElement<StageSelector>, 2>>;
    RootEnvironment environment;
    Stages chain;
    bringUp(chain, environment);
    const std::set<std::string> names{"Delay_0", "Delay_1", "Gain_0", "Gain_1",
                                      "Model_0", "Model_1", "Process"};
    EXPECT_EQ(parameterNames(chain), names);

    chain.setParameter("Process", 2.0f);
    chain.setParameter("Model_1",
                       1.0f); // the selector reports; the wrapper relinks and passes it on
    EXPECT_EQ(environment.structureChanges, 1);
    EXPECT_EQ(parameterNames(chain), names);
    EXPECT_EQ(chain.getParameter("Process").getValue(), 2.0f) << "the mode survives relinking";

    chain.setParameter("Gain_1", 0.75f);
    auto& selector = static_cast<StageSelector&>(chain.getSubModule("1"));
    EXPECT_EQ(selector.getElement(1).getParameter("Gain").getValue(), 0.75f);
    EXPECT_EQ(selector.getElement(0).getParameter("Gain").getValue(), 0.5f);
    EXPECT_EQ(chain.getParameter("Gain_1").getValue(), 0.75f);
}
