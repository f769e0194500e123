#include "TestChain.h"

#include <gtest/gtest.h>

using namespace test;

TEST(ModuleSet, RepeatedInstanceNamesReplaceAndMoveLast)
{
    ModuleSetDescription description = rigDescription();
    description.modules.push_back({"PhaseAdjust", "Volume_PanVolume_Tuner"}); // replaces the gain
    description.connections.erase(description.connections.begin(),
                                  description.connections.begin() + 2);
    TestHost host(description);
    const auto& subs = host.getModuleSet().getSubModules();
    EXPECT_EQ(subs.size(), 16u);
    EXPECT_EQ(subs.back().name, "Volume_PanVolume_Tuner");
    EXPECT_EQ(subs.back().module->getInfo().type, "PhaseAdjust");
    EXPECT_NO_THROW(host.findParameter("Delay_Volume_PanVolume_Tuner"));
    EXPECT_THROW(host.findParameter("Gain_Volume_PanVolume_Tuner"), UnknownName);
}

TEST(ModuleSet, AStructureChangeBelowRelinksEveryComposedName)
{
    TestFacade facade;
    TestHost& host = facade.host;
    auto& stomps = dynamic_cast<ChainStub&>(host.getModuleSet().getSubModule("StompModule"));
    EXPECT_NO_THROW(host.findParameter("Model_0_StompModule"));

    stomps.swapElement();
    EXPECT_THROW(host.findParameter("Model_0_StompModule"), UnknownName);
    EXPECT_EQ(host.findParameter("Drive_0_StompModule"), "Drive_0_StompModule");
    EXPECT_EQ(host.findParameter("Process_StompModule"), "Process_StompModule");

    facade.set("Drive_0_StompModule", 0.75f);
    facade.set("Model_0_StompModule", 1.0f); // the old name is gone: dropped, not a crash
    float in[64] = {1.0f}, left[64], right[64];
    const float* inputs[] = {in};
    float* outputs[] = {left, right};
    facade.process(inputs, outputs, 64);
    EXPECT_EQ(stomps.getSubModule("0").getParameter("Drive").getValue(), 0.75f);
    EXPECT_EQ(host.getParameterChanges().getUnknownCount(), 1u);
    EXPECT_EQ(left[4], 1.0f); // the new element carries the signal
}

TEST(ModuleSet, CreatorsAndDescriptionsAreChecked)
{
    TestCreators creators;
    const std::size_t count = creators.size();
    creators.add<Stub<GainShape>>("Splitter"); // re-registered: replaced and moved last
    EXPECT_EQ(creators.size(), count);
    EXPECT_EQ(creators.back().name, "Splitter");
    EXPECT_EQ(creators.create("Splitter")->getInfo().type, "GaindB");
    EXPECT_THROW(creators.create("Flanger"), UnknownName);

    ModuleSetDescription unknownType = rigDescription();
    unknownType.modules.push_back({"Flanger", "Extra"});
    EXPECT_THROW(TestHost{unknownType}, UnknownName);

    ModuleSetDescription unknownPort = rigDescription();
    unknownPort.connections.push_back({"Tuner", "OutX", "MeterL_Output", "In"});
    EXPECT_THROW(TestHost{unknownPort}, UnknownName);
}
