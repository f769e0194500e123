#include "TestChain.h"
#include "engine/modules/SelectorSets.h"

#include "engine/host/ModuleArrayCX2.h"
#include "engine/host/ModuleCX2.h"
#include "models/RigModuleCreators.h"

#include <gtest/gtest.h>

#include <algorithm>

using AudioEngine::CX2::Application::ModuleArrayCX2;
using AudioEngine::CX2::Application::ModuleCX2;

namespace {

// The rig's table with the modules that are not built yet standing in as
// stubs, and an amp chain whose one slot selects among three unlike stages.
class SwitchCreators : public AudioEngine::BorvanQom::Application::ModuleCreators {
public:
    SwitchCreators()
    {
        add<test::Stub<test::AmbienceShape>>("Ambience");
        add<test::Stub<test::TunerShape>>("Tuner");
        add<test::ChainStub>("Stomps");
        add<ModuleCX2<ModuleArrayCX2<rig::StageSelector, 1>>>("Amps");
        add<test::ChainStub>("Convolver");
    }
};

struct SwitchTraits {
    using Creators = SwitchCreators;
};

struct HostRig {
    // Runs one host block of 64 frames of a constant; returns the left output.
    std::vector<float> run(float input = 1.0f)
    {
        std::vector<float> in(64, input), left(64), right(64);
        const float* inputs[] = {in.data()};
        float* outputs[] = {left.data(), right.data()};
        host.processHost(inputs, outputs, 64);
        return left;
    }

    AudioEngine::ModuleHost<SwitchTraits> host{test::rigDescription()};
};

} // namespace

TEST(ChainSwitch, TheRigTableCreatesTheGenericModulesInItsOrder)
{
    const AudioEngine::BorvanQom::Application::ModuleCreators table;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Gain", "GaindB"},
        {"GainStereo", "ModuleDualMono"},
        {"VuMeter", "Meter"},
        {"LedMeter", "Meter"},
        {"PhaseAdjust", "DelayLine"},
        {"MixerStereo", "MixerStereo"},
        {"SplitterStereo", "SplitterStereo"},
        {"AdderStereo", "AdderStereo"},
        {"AddAndSplit", "AddAndSplit"},
        {"AddAndSplitStereo", "AddAndSplitStereo"},
        {"Adder", "Adder"},
        {"Splitter", "Splitter"},
    };
    std::vector<std::pair<std::string, std::string>> registered;
    for (const auto& entry : table) {
        const bool ours = std::any_of(expected.begin(), expected.end(),
                                      [&](const auto& e) { return e.first == entry.name; });
        if (ours)
            registered.emplace_back(entry.name, entry.module->create()->getInfo().type);
    }
    EXPECT_EQ(registered, expected);
}

TEST(ChainSwitch, ASwitchInsideTheRunningChainIsHeardAndReachedByItsComposedNames)
{
    HostRig rig;
    AudioEngine::ModuleHostBase& host = rig.host;
    AudioEngine::ModuleSetBase& set = host.getModuleSet();
    rig.run();
    // The phase path at 1 and the amp path through "Linear" at 0.5, mixed evenly.
    EXPECT_EQ(rig.run()[10], 0.75f);
    EXPECT_EQ(host.readValue("Level_MeterL_Output"), 0.75f);
    const std::size_t parameters = set.getParameterCount();

    host.getParameterChanges().push("Model_0_AmpModule", 1.0f); // "Log": a knob of 0.5 is 0.1
    const std::vector<float> out = rig.run();
    for (float x : out)
        ASSERT_NEAR(x, 0.55f, 1e-6f)
            << "the mixer downstream hears the new element from the next piece on";

    // The composed path through array, element and selector now reaches "Log".
    auto& chain = static_cast<AudioEngine::ModuleStructured&>(set.getSubModule("AmpModule"));
    auto& selector = static_cast<rig::StageSelector&>(chain.getSubModule("0"));
    set.setParameter("Gain_0_AmpModule", 1.0f);
    EXPECT_EQ(selector.getElement(1).getParameter("Gain").getValue(), 1.0f);
    EXPECT_EQ(selector.getElement(0).getParameter("Gain").getValue(), 0.5f);
    EXPECT_EQ(host.readValue("Gain_0_AmpModule"), 1.0f);
    rig.run();
    EXPECT_EQ(rig.run()[10], 1.0f);

    // The set's links were made anew, once each: reading every one of them
    // touches no link that relinking destroyed.
    EXPECT_EQ(set.getParameterCount(), parameters);
    for (const auto& [name, parameter] : set.getParameters())
        if (name.rfind("Level_", 0) != 0)
            (void)parameter->getValue();
    EXPECT_EQ(host.findParameter("Delay_0_AmpModule"), "Delay_0_AmpModule");
    EXPECT_EQ(host.findParameter("Process_AmpModule"), "Process_AmpModule");
}
