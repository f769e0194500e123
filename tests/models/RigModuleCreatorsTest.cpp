#include "models/RigModuleCreators.h"

#include <gtest/gtest.h>

#include <vector>

using namespace AudioEngine;
using namespace AudioEngine::BorvanQom;

TEST(RigModuleCreators, EveryTypeOfTheChainDescriptionIsRegisteredInOrder)
{
    Application::ModuleCreators table;
    const std::vector<std::string> order = {
        "Gain",      "GainStereo",     "VuMeter",     "LedMeter",    "Ambience",
        "Tuner",     "Stomps",         "PhaseAdjust", "MixerStereo", "Amps",
        "Convolver", "SplitterStereo", "AdderStereo", "AddAndSplit", "AddAndSplitStereo",
        "Adder",     "Splitter"};
    std::vector<std::string> registered;
    for (const auto& entry : table)
        registered.push_back(entry.name);
    EXPECT_EQ(registered, order);

    EXPECT_NE(dynamic_cast<StompChain*>(table.create("Stomps").get()), nullptr);
    EXPECT_NE(dynamic_cast<AmpChain*>(table.create("Amps").get()), nullptr);
    using Cabinet = CX2::Application::ModuleCX2<CabinetBorvan<WooferSetTraits, TweeterSetTraits>>;
    EXPECT_NE(dynamic_cast<Cabinet*>(table.create("Convolver").get()), nullptr);
}
