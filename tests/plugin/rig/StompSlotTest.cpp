#include "RigFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace test;

TEST(StompSlots, ALoadedSlotGetsItsModelAndTheChildsValues)
{
    Rig rig;
    loadChunk(
        rig,
        "<Preset><Stomp Stomp2=\"MemoryMan\"><Stomp2 Delay=\"120\" Mode=\"1\" DelayBPM=\"3\" />"
        "</Stomp></Preset>");
    auto* delay = dynamic_cast<StompMemoryMan*>(rig.getStompModule().getStomp(2));
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->delay.getValue(), 120.0f);
    EXPECT_EQ(delay->mode.getValue(), 1.0f);
    EXPECT_EQ(delay->delayBpm.getValue(), 3.0f);
    EXPECT_EQ(delay->feedback.getValue(), 45.3125f) << "a number the child lacks takes its default";
    EXPECT_EQ(rig.getStompModule().getStomp(1), nullptr);
    EXPECT_EQ(rig.getStompModule().getStomp(6), nullptr);
    EXPECT_EQ(rig.getStompModule().getStomp(-1), nullptr);

    const std::string chunk = rig.saveChunk();
    EXPECT_NE(
        chunk.find(
            "<Stomp2 BPM=\"0.000000\" Blend=\"24.218750\" Bypass=\"0.000000\" ChVib=\"39.843750\" "
            "Delay=\"120.000000\" DelayBPM=\"3.000000\""),
        std::string::npos)
        << chunk;
    Rig copy;
    loadChunk(copy, chunk);
    EXPECT_EQ(copy.saveChunk(), chunk);
}

TEST(StompSlots, AModelChosenAgainStartsFromItsDefaults)
{
    Rig rig;
    Parameter& slot = rig.getStompModule().stomps[0];
    slot.setValue(1.0f, true); // Overdrive
    auto* first = dynamic_cast<StompOverdrive*>(rig.getStompModule().getStomp(0));
    ASSERT_NE(first, nullptr);
    first->texture.setValue(9.0f, true);
    slot.setValue(2.0f, true); // Octaver
    EXPECT_NE(dynamic_cast<StompOctaver*>(rig.getStompModule().getStomp(0)), nullptr);
    slot.setValue(1.0f, true);
    auto* again = dynamic_cast<StompOverdrive*>(rig.getStompModule().getStomp(0));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->texture.getValue(), 5.0f);

    again->texture.setValue(8.0f, true);
    slot.setValue(1.0f, true);
    EXPECT_EQ(rig.getStompModule().getStomp(0), again) << "the same value changes nothing";
    loadChunk(rig, "<Preset><Stomp Stomp0=\"Overdrive\"><Stomp0 Balance=\"1\" /></Stomp></Preset>");
    EXPECT_EQ(rig.getStompModule().getStomp(0), again);
    EXPECT_EQ(again->balance.getValue(), 1.0f);
}

TEST(StompSlots, AMissingOrUnknownSlotAttributeKeepsTheSlotsModel)
{
    Rig rig;
    rig.getStompModule().stomps[0].setValue(1.0f, true);
    rig.getStompModule().stomps[4].setValue(7.0f, true);
    Module* overdrive = rig.getStompModule().getStomp(0);
    Module* filter = rig.getStompModule().getStomp(4);
    loadChunk(rig, "<Preset><Stomp Stomp1=\"Octaver\" Stomp4=\"envelopefilter\"><Stomp0 "
                   "Texture=\"2\" /></Stomp>"
                   "</Preset>");
    ASSERT_EQ(rig.getStompModule().getStomp(0), overdrive);
    EXPECT_EQ(static_cast<StompOverdrive*>(overdrive)->texture.getValue(), 2.0f);
    EXPECT_EQ(rig.getStompModule().getStomp(4), filter);
    EXPECT_NE(dynamic_cast<StompOctaver*>(rig.getStompModule().getStomp(1)), nullptr);
}

TEST(StompSlots, ASelectorValueOutsideTheListLeavesTheSlotEmpty)
{
    // Values the selector's own range never lets through, given straight to
    // the handler.
    const float values[] = {9.0f,
                            100.0f,
                            -1.0f,
                            -0.0f,
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            0.0f};
    for (float value : values) {
        Rig rig;
        StompModule& stomp = rig.getStompModule();
        stomp.stomps[5].setValue(3.0f, true);
        Parameter foreign;
        foreign.setRange(Zq::Application::DocView::RangeFloat(-1e30f, 1e30f));
        foreign.setValue(value, false);
        stomp.setStompModel(5, &foreign);
        EXPECT_EQ(stomp.getStomp(5), nullptr) << value;
        EXPECT_EQ(rig.saveChunk().find("<Stomp5"), std::string::npos) << value;
        stomp.setStompModel(6, &foreign); // no such slot: nothing happens
        stomp.setStompModel(-1, &foreign);
    }
}

TEST(StompSlots, AReplacedModelStaysReadableUntilItsSlotSwitchesAgain)
{
    Rig rig;
    StompModule& stomp = rig.getStompModule();
    stomp.stomps[0].setValue(1.0f, true);
    auto* overdrive = static_cast<StompOverdrive*>(stomp.getStomp(0));
    Parameter* texture = &overdrive->texture;
    texture->setValue(6.5f, true);
    Liveness oldModel(*texture);

    // A view connected after the document's handler still reads the old
    // model's parameter inside the same notification, as an editor panel or
    // an engine binding does before it rebinds.
    float seenInNotification = -1.0f;
    auto view = stomp.stomps[0].changed.connect([&](Parameter*) {
        if (seenInNotification < 0.0f)
            seenInNotification = texture->getValue();
    });
    stomp.stomps[0].setValue(2.0f, true);
    view.disconnect();
    EXPECT_EQ(seenInNotification, 6.5f);
    EXPECT_EQ(texture->getValue(), 6.5f) << "a host query on another thread may still read it";
    EXPECT_TRUE(oldModel.alive());

    // Other slots switching leave it alone; its own slot's next switch frees it.
    stomp.stomps[1].setValue(3.0f, true);
    stomp.stomps[1].setValue(0.0f, true);
    EXPECT_TRUE(oldModel.alive());
    EXPECT_EQ(texture->getValue(), 6.5f);
    stomp.stomps[0].setValue(0.0f, true);
    EXPECT_FALSE(oldModel.alive());
    EXPECT_EQ(rig.saveChunk().find("Texture"), std::string::npos)
        << "a retired model is never saved";
}

TEST(StompSlots, DestroyingTheDocumentFreesCurrentAndRetiredModels)
{
    std::vector<Liveness> models;
    {
        Rig rig;
        StompModule& stomp = rig.getStompModule();
        for (int slot = 0; slot < StompModule::kSlotCount; ++slot) {
            for (float model : {static_cast<float>(slot + 1), static_cast<float>(slot + 3)}) {
                stomp.stomps[slot].setValue(model, true);
                models.emplace_back(stomp.getStomp(slot)->mute);
            }
        }
        for (const Liveness& model : models)
            EXPECT_TRUE(model.alive());
    }
    for (const Liveness& model : models)
        EXPECT_FALSE(model.alive());
}
