#include "models/RigModuleCreators.h"

#include <gtest/gtest.h>

#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

TEST(RigModuleCreators, EveryTypeOfTheChainDescriptionIsRegisteredInOrder)
{
    Application::ModuleCreators table;
    // The full order; names whose model is not built yet are skipped.
    const std::vector<std::string> order = {"Gain",        "GainStereo",     "VuMeter",     "LedMeter",
                                            "Ambience",    "Tuner",          "Stomps",      "PhaseAdjust",
                                            "MixerStereo", "Amps",           "Convolver",   "SplitterStereo",
                                            "AdderStereo", "AddAndSplit",    "AddAndSplitStereo", "Adder",
                                            "Splitter"};
    std::vector<std::string> registered;
    for (const auto& entry : table)
        registered.push_back(entry.name);
    std::vector<std::string> expected;
    for (const auto& name : order)
        if (table.find(name))
            expected.push_back(name);
    EXPECT_EQ(registered, expected);
    for (const char* name : {"Gain", "LedMeter", "Ambience", "Tuner", "Stomps", "Convolver", "MixerStereo", "Splitter"})
        EXPECT_NE(table.find(name), nullptr) << name;

    EXPECT_NE(dynamic_cast<StompChain*>(table.create("Stomps").get()), nullptr);
    using Cabinet = CX2::Application::ModuleCX2<CabinetBorvan<WooferSetTraits, TweeterSetTraits>>;
    EXPECT_NE(dynamic_cast<Cabinet*>(table.create("Convolver").get()), nullptr);
}
