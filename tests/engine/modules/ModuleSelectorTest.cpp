#include "SelectorSets.h"
#include "tests/support/ElementRig.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

using namespace rig;

namespace {

template <class Selector> struct SelectorRig {
    SelectorRig()
    {
        selector.setInstanceName("Selector");
        bringUp(selector, environment);
        if (selector.getInputs().contains("In")) {
            selector.getInput("In").connect(&feed);
            selector.resolveConnections();
        }
        // A reader downstream, bound once, as a leaf after the selector is.
        reader.connect(&selector.getOutput("Out"));
        reader.resolve();
    }
    float value(const char* name) { return selector.getParameter(name).getValue(); }
    const float* run()
    {
        selector.process();
        return reader.getBuffer();
    }

    RootEnvironment environment;
    Selector selector;
    Feed feed;
    Input reader{"In", ""};
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

} // namespace

TEST(ModuleSelector, TheSwitchFollowsTheWholeNumberPartAndStaysInBounds)
{
    SelectorRig<StageSelector> rig;
    struct Step {
        float value;
        std::uint32_t element;
    } steps[] = {
        {0.9f, 0}, {1.0f, 1},  {1.7f, 1},
        {2.0f, 2}, {-1.0f, 0}, {99.0f, 2},
        {kNaN, 2}, {0.0f, 0},  {std::numeric_limits<float>::infinity(), 2},
    };
    for (const Step& step : steps) {
        rig.selector.setParameter("Model", step.value);
        EXPECT_EQ(rig.selector.getCurrentIndex(), step.element) << step.value;
        EXPECT_EQ(rig.selector.getCurrentElement(), &rig.selector.getElement(step.element))
            << step.value;
    }
    EXPECT_EQ(rig.environment.structureChanges, 6) << "the not-uniform form reports every switch";
}

TEST(ModuleSelector, StatesFollowSetOrderAndTheDefaultIsTheFirstEntry)
{
    SelectorRig<StageSelector> rig;
    const ParameterBase& model = rig.selector.getParameter("Model");
    EXPECT_EQ(model.getStates().find("Linear"), 0.0f);
    EXPECT_EQ(model.getStates().find("Log"), 1.0f);
    EXPECT_EQ(model.getStates().find("Delay"), 2.0f);
    EXPECT_EQ(model.getDefault(), 0.0f);
    EXPECT_EQ(model.getMaximum(), 2.0f);
    EXPECT_EQ(model.getFlags(), Parameter::kSetAtOnce);
    EXPECT_EQ(SelectorRig<LfoSelector>().selector.getParameter("Mode").getFlags(), 0u);
}

TEST(ModuleSelector, AUniformSelectorCarriesValuesAcrossASwitch)
{
    SelectorRig<LfoSelector> rig;
    rig.selector.setParameter("Rate", 5.0f);
    rig.selector.setParameter("Phase", 0.25f);
    rig.selector.setParameter("Mode", 1.0f);
    const Module& vibrato = rig.selector.getElement(1);
    EXPECT_EQ(vibrato.getParameter("Rate").getValue(), 5.0f);
    EXPECT_EQ(vibrato.getParameter("Phase").getValue(), 0.25f);
    EXPECT_EQ(rig.run()[0], 1.0f) << "the reader hears the sine, restarted at the carried phase";

    rig.selector.setParameter("Rate", 2.0f); // reaches the current element only
    EXPECT_EQ(rig.selector.getElement(0).getParameter("Rate").getValue(), 5.0f);
    rig.selector.setParameter("Mode", 0.0f);
    EXPECT_EQ(rig.selector.getElement(0).getParameter("Rate").getValue(), 2.0f);
    EXPECT_EQ(rig.run()[0], 1.0f - 4.0f * 0.25f) << "the triangle at the carried phase";
}

TEST(ModuleSelector, ANotUniformSelectorShowsEveryNameOnceAndKeepsEachElementsValues)
{
    SelectorRig<StageSelector> rig;
    std::set<std::string> names;
    for (const auto& [name, parameter] : rig.selector.getParameters())
        names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"Delay", "Gain", "Model"}));

    rig.selector.setParameter("Gain", 0.8f); // "Linear"
    rig.selector.setParameter("Model", 1.0f);
    EXPECT_EQ(rig.value("Gain"), 0.5f) << "\"Log\" keeps its own value";
    rig.selector.setParameter("Gain", 0.5f);
    rig.feed.fill(1.0f);
    EXPECT_NEAR(rig.run()[3], 0.1f, 1e-6f) << "the reader hears the taper law of the new element";
    EXPECT_EQ(rig.selector.getElement(0).getParameter("Gain").getValue(), 0.8f);

    rig.selector.setParameter("Model", 2.0f); // "Delay" has no "Gain": the link stays with "Log"
    rig.selector.setParameter("Gain", 0.25f);
    EXPECT_EQ(rig.selector.getElement(1).getParameter("Gain").getValue(), 0.25f);
    rig.selector.setParameter("Delay", 1.0f);
    EXPECT_EQ(rig.selector.getElement(2).getParameter("Delay").getValue(), 1.0f);
    rig.selector.setParameter("Model", 0.0f);
    EXPECT_EQ(rig.value("Gain"), 0.8f);
}

TEST(ModuleSelector, ResetToDefaultsSwitchesBackToTheFirstElement)
{
    SelectorRig<LfoSelector> rig;
    rig.selector.setParameter("Mode", 1.0f);
    rig.selector.setParameter("Rate", 7.0f);
    rig.selector.resetParametersToDefaults();
    EXPECT_EQ(rig.selector.getCurrentIndex(), 0u);
    EXPECT_EQ(rig.value("Mode"), 0.0f);
    EXPECT_EQ(rig.value("Rate"), 1.0f);
    EXPECT_EQ(rig.run()[0], -1.0f);
}

TEST(ModuleSelector, RateChangesReachElementsThatAreSwitchedAway)
{
    SelectorRig<LfoSelector> rig;
    rig.environment.rate = 4000.0f;
    rig.selector.update();
    rig.selector.setParameter("Mode", 1.0f); // restarts the sine at phase 0
    rig.environment.chunk = 40;
    for (int piece = 0; piece < 25; ++piece)
        rig.run();
    EXPECT_NEAR(rig.run()[0], 1.0f, 1e-3f) << "1 Hz at 4 kHz: a quarter cycle in 1000 samples";
}

TEST(ModuleSelector, TheNewElementIsResetUnlessTheHostIsChangingTheGraph)
{
    SelectorRig<StageSelector> rig;
    rig.selector.setParameter("Model", 2.0f);
    rig.selector.setParameter("Delay", 1.0f); // 44 samples
    rig.feed.fill(1.0f);
    rig.run(); // the ring now holds ones
    rig.feed.fill(0.0f);

    rig.environment.state = 2;
    rig.selector.setParameter("Model", 0.0f);
    rig.selector.setParameter("Model", 2.0f);
    EXPECT_EQ(rig.run()[0], 1.0f) << "kept while the host applies a batch";

    rig.environment.state = 0;
    rig.feed.fill(1.0f);
    rig.run();
    rig.feed.fill(0.0f);
    rig.selector.setParameter("Model", 0.0f);
    rig.selector.setParameter("Model", 2.0f);
    EXPECT_EQ(rig.run()[0], 0.0f) << "cleared by the switch";
}
