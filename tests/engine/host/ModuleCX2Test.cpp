#include "WrapperTestModules.h"
#include "tests/support/ElementRig.h"

#include "engine/host/ModuleArrayCX2.h"
#include "engine/host/ModuleArrayElement.h"
#include "engine/host/ModuleCX2.h"
#include "engine/modules/Splitter.h"

#include <gtest/gtest.h>

#include <limits>

using namespace rig;
using AudioEngine::CX2::Application::ModuleArrayCX2;
using AudioEngine::CX2::Application::ModuleArrayElement;
using AudioEngine::CX2::Application::ModuleCX2;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A wrapped module between a feed on "In" and its "Out", run piece by piece.
template <class Wrapped> struct WrapperRig {
    WrapperRig() { plugIn(wrapper, environment, feed); }
    std::vector<float> run(float input)
    {
        feed.fill(input);
        wrapper.process();
        return samples(wrapper.getOutput("Out"), 64);
    }
    float process() { return wrapper.getParameter("Process").getValue(); }

    RootEnvironment environment;
    ModuleCX2<Wrapped> wrapper;
    Feed feed;
};

std::vector<float> constant(float value)
{
    return std::vector<float>(64, value);
}

// The delay over a leaf: 1 ms is 44 samples.
struct LeafRig : WrapperRig<CountingDelay> {
    LeafRig() { wrapper.setParameter("Delay", 1.0f); }
    int resets() const { return wrapper.resets; }
};

// Three doublers in series: "Out" = 8 x "In" while "InDry" is open.
struct ArrayRig : WrapperRig<ModuleArrayCX2<ModuleArrayElement<Doubler>, 3>> {
    int resets() const
    {
        int total = 0;
        for (const auto& entry : wrapper.getSubModules())
            total += static_cast<const Doubler&>(*entry.module).resets;
        return total;
    }
};

} // namespace

TEST(ModuleCX2, ProcessValuesChooseTheRoutineByTruncation)
{
    LeafRig rig;
    struct Step {
        float value;
        float mode;      // stored mode afterwards
        float parameter; // what "Process" reports
        bool bypassed;   // output equals input
    } steps[] = {
        {1.7f, 1.0f, 1.7f, true},  // "Bypass" by truncation
        {7.0f, 7.0f, 4.0f, true},  // matches no state: routine kept, mode stored
        {-1.0f, 7.0f, 0.0f, true}, // no mode: routine and mode kept, parameter clamped
        {kNaN, 7.0f, 0.0f, true},  // ignored altogether
        {0.0f, 0.0f, 0.0f, false}, {-0.5f, 0.0f, 0.0f, false}, // truncates to 0, "Normal"
    };
    float input = 0.0f;
    for (const Step& step : steps) {
        rig.wrapper.setParameter("Process", step.value);
        EXPECT_EQ(rig.wrapper.getMode(), step.mode) << step.value;
        EXPECT_EQ(rig.process(), step.parameter) << step.value;
        // A new input each time: the delay answers with the previous one first.
        input += 1.0f;
        EXPECT_EQ(rig.run(input)[0] == input, step.bypassed) << step.value;
    }
}

template <class Rig> void checkModes(float gain, int elements)
{
    Rig rig;
    rig.run(1.0f);
    EXPECT_EQ(rig.run(1.0f), constant(gain)) << "Normal";
    const int resetsBefore = rig.resets();

    rig.wrapper.setParameter("Process", 1.0f);
    EXPECT_EQ(rig.run(0.25f), constant(0.25f)) << "Bypass copies \"In\"";
    EXPECT_EQ(rig.run(-0.5f), constant(-0.5f));
    EXPECT_EQ(rig.resets(), resetsBefore + elements) << "reset once, when chosen";

    rig.wrapper.setParameter("Process", 2.0f);
    EXPECT_EQ(rig.run(0.25f), constant(0.0f)) << "Mute";

    rig.wrapper.setParameter("Process", 0.0f);
    rig.run(1.0f);
    const std::vector<float> held = rig.run(1.0f);
    rig.wrapper.setParameter("Process", 4.0f);
    EXPECT_EQ(rig.run(0.75f), held) << "Stop keeps what the output held";

    rig.wrapper.setParameter("Process", 3.0f);
    rig.run(1.0f);
    EXPECT_EQ(rig.feed.data()[5], 1.0f)
        << "MuteIn leaves the input's samples to their other readers";
    rig.wrapper.setParameter("Process", 0.0f);
    rig.run(1.0f);
    EXPECT_EQ(rig.run(1.0f), constant(gain)) << "Normal again";
}

TEST(ModuleCX2, EveryModeOverALeafAndOverAnArray)
{
    checkModes<LeafRig>(1.0f, 1);
    checkModes<ArrayRig>(8.0f, 3);
}

TEST(ModuleCX2, MuteInLetsTheTailOfADelayRingOut)
{
    LeafRig rig;
    rig.run(1.0f); // 44 samples of silence, then 20 ones in the ring's future
    rig.wrapper.setParameter("Process", 3.0f);
    const std::vector<float> out = rig.run(1.0f);
    for (std::size_t i = 0; i < 64; ++i)
        EXPECT_EQ(out[i], i < 44 ? 1.0f : 0.0f) << i;

    ArrayRig array;
    array.wrapper.setParameter("Process", 3.0f);
    EXPECT_EQ(array.run(1.0f), constant(0.0f)) << "the chain ran on silence";
    EXPECT_EQ(array.resets(), 0);
    EXPECT_GT(static_cast<const Doubler&>(array.wrapper.getSubModule("2")).pieces, 0);
}

TEST(ModuleCX2, PrepareAppliesTheStoredModeAgain)
{
    LeafRig rig;
    rig.wrapper.setParameter("Process", 2.0f);
    rig.wrapper.getParameter("Process").set(0.0f); // the parameter alone, behind the wrapper's back
    rig.wrapper.prepare();
    EXPECT_EQ(rig.process(), 2.0f);
    EXPECT_EQ(rig.run(1.0f), constant(0.0f));

    rig.wrapper.setParameter("Process", 1.0f);
    const int resets = rig.resets();
    rig.wrapper.prepare();
    EXPECT_EQ(rig.resets(), resets + 1) << "choosing Bypass again resets again";
    EXPECT_EQ(rig.run(0.5f), constant(0.5f));
}

TEST(ModuleCX2, BypassPairsEveryOutputWithTheSingleInputOrByName)
{
    RootEnvironment environment;
    ModuleCX2<AudioEngine::Splitter> splitter;
    bringUp(splitter, environment);
    ASSERT_EQ(splitter.getBypassPairs().size(), 2u);
    for (const auto& [input, output] : splitter.getBypassPairs())
        EXPECT_EQ(input, &splitter.getInput("In"));

    ArrayRig array;
    ASSERT_EQ(array.wrapper.getBypassPairs().size(), 1u);
    EXPECT_EQ(array.wrapper.getBypassPairs()[0].first, &array.wrapper.getInput("In"));
    EXPECT_EQ(array.wrapper.getBypassPairs()[0].second, &array.wrapper.getOutput("Out"));
}
