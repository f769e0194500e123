#include "RigFixtures.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace test;

TEST(ModulePresets, AModulesStreamLoadsBackIntoAFreshDocument)
{
    Rig source;
    source.getCabModule().micModel.setValue(1.0f, true);
    source.getCabModule().ambience.setValue(3.5f, true);
    source.getStompModule().stomps[2].setValue(7.0f, true);
    static_cast<StompEnvelopeFilter*>(source.getStompModule().getStomp(2))
        ->depth.setValue(10.0f, true);
    source.getAmpModule().ampModel.setValue(3.0f, true);
    static_cast<AmpRKM4PRO*>(source.getAmpModule().getAmpModel())->bands[8].setValue(-4.0f, true);

    const std::string cab = streamed(source.getCabModule());
    EXPECT_EQ(
        cab.rfind("<?xml version=\"1.0\" standalone=\"no\" ?><Preset Ambience=\"3.500000\"", 0), 0u)
        << cab;

    Rig target;
    const std::pair<Module*, Module*> pairs[] = {
        {&source.getCabModule(), &target.getCabModule()},
        {&source.getStompModule(), &target.getStompModule()},
        {&source.getAmpModule(), &target.getAmpModule()}};
    for (const auto& [from, to] : pairs) {
        loadStream(*to, streamed(*from));
        EXPECT_EQ(streamed(*to), streamed(*from));
    }
    EXPECT_EQ(target.saveChunk(), source.saveChunk());
}

TEST(ModulePresets, TextWithoutARootChangesNothingAndStillFiresBothSignals)
{
    const char* texts[] = {"", "not xml at all", "<?xml version=\"1.0\" ?>", "<Preset Mute=\"1\"",
                           "<a><b></a>"};
    for (const char* text : texts) {
        Rig rig;
        CabModule& cab = rig.getCabModule();
        cab.ambience.setValue(4.0f, true);
        std::vector<std::string> order;
        cab.beforeLoad.connect([&] { order.push_back("before"); });
        cab.afterLoad.connect([&] { order.push_back("after"); });
        const std::string before = rig.saveChunk();
        loadStream(cab, text);
        EXPECT_EQ(rig.saveChunk(), before) << text;
        EXPECT_EQ(order, (std::vector<std::string>{"before", "after"})) << text;
    }
}

TEST(ModulePresets, AStreamLoadFiresAroundTheParameterChanges)
{
    Rig rig;
    StompModule& stomp = rig.getStompModule();
    std::vector<std::string> order;
    stomp.beforeLoad.connect([&] { order.push_back("before"); });
    stomp.stomps[1].changed.connect([&](Parameter*) { order.push_back("Stomp1"); });
    stomp.afterLoad.connect([&] { order.push_back("after"); });
    loadStream(stomp, "<Preset Stomp1=\"BassWah\"><Stomp1 Wah=\"70\" /></Preset>");
    EXPECT_EQ(order, (std::vector<std::string>{"before", "Stomp1", "after"}));
    auto* wah = dynamic_cast<StompWah*>(stomp.getStomp(1));
    ASSERT_NE(wah, nullptr);
    EXPECT_EQ(wah->wah.getValue(), 70.0f);
}
