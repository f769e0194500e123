// ctest-label: tsan
#include "EngineFixtures.h"

#include "plugin/rig/StompModels.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <limits>
#include <thread>

using namespace test;

namespace {

// A rig with analog delays in slots 1 and 4, both following the tempo.
struct DelayRig : RecordedRig {
    DelayRig()
    {
        auto& stomps = document.getStompModule();
        stomps.stomps[1].setValue(4.0f, true);
        stomps.stomps[4].setValue(4.0f, true);
        first().bpm.setValue(1.0f, true);
        second().bpm.setValue(1.0f, true);
        dsp.calls.clear();
    }
    Doc::StompMemoryMan& first() { return memoryMan(1); }
    Doc::StompMemoryMan& second() { return memoryMan(4); }
    Doc::StompMemoryMan& memoryMan(int slot)
    {
        return dynamic_cast<Doc::StompMemoryMan&>(*document.getStompModule().getStomp(slot));
    }
};

const std::string kDelay1 = "Delay_1_StompModule";
const std::string kDelay4 = "Delay_4_StompModule";

} // namespace

TEST(EngineTempo, AChangeReachesEveryUnitOnceInOrderAndASteadyTempoNothing)
{
    DelayRig rig;
    rig.second().delayBpm.setValue(4.0f, true); // half a beat
    rig.dsp.calls.clear();

    rig.block(120.0f);
    EXPECT_EQ(rig.dsp.calls, (std::vector<Call>{{kDelay1, 500.0f, ""}, {kDelay4, 250.0f, ""}}));
    EXPECT_EQ(rig.engine.currentTempo(), 120.0f);

    rig.dsp.calls.clear();
    for (int i = 0; i < 3; ++i)
        rig.block(120.0f);
    EXPECT_TRUE(rig.dsp.calls.empty());

    rig.block(240.0f);
    EXPECT_EQ(rig.dsp.calls, (std::vector<Call>{{kDelay1, 250.0f, ""}, {kDelay4, 125.0f, ""}}));
}

TEST(EngineTempo, TheAnalogDelayFollowsTheHostTempo)
{
    DelayRig rig;
    Doc::StompMemoryMan& delay = rig.first();
    // 7 is a quarter note: 120 gives 500 ms; 60 gives 1000, clamped to 500; 0
    // gives 0, clamped to 25; not-finite and negative tempos count as 0.
    rig.block(120.0f);
    EXPECT_EQ(delay.delay.getValue(), 500.0f);
    rig.block(180.0f);
    EXPECT_NEAR(delay.delay.getValue(), 333.333f, 1e-3f);
    rig.block(60.0f);
    EXPECT_EQ(delay.delay.getValue(), 500.0f);
    rig.block(0.0f);
    EXPECT_EQ(delay.delay.getValue(), 25.0f);

    const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), -1.0f};
    for (float tempo : bad) {
        rig.block(120.0f);
        ASSERT_EQ(delay.delay.getValue(), 500.0f);
        rig.block(tempo);
        EXPECT_EQ(rig.engine.currentTempo(), 0.0f) << tempo;
        EXPECT_EQ(delay.delay.getValue(), 25.0f) << tempo;
        // Once 0, the same bad tempo again is no change.
        rig.dsp.calls.clear();
        rig.block(tempo);
        EXPECT_TRUE(rig.dsp.calls.empty()) << tempo;
    }

    // A tempo so small that the delay overflows sets nothing.
    rig.block(180.0f);
    rig.block(1e-38f);
    EXPECT_EQ(rig.engine.currentTempo(), 1e-38f);
    EXPECT_NEAR(delay.delay.getValue(), 333.333f, 1e-3f);

    // With "BPM" off the delay stays where it is.
    delay.bpm.setValue(0.0f, true);
    delay.delay.setValue(300.0f, true);
    rig.block(90.0f);
    EXPECT_EQ(delay.delay.getValue(), 300.0f);
}

TEST(EngineTempo, NoteValueAndSyncSwitchRecomputeAtOnce)
{
    DelayRig rig;
    Doc::StompMemoryMan& delay = rig.first();
    rig.block(100.0f);
    EXPECT_EQ(delay.delay.getValue(), 500.0f) << "600 ms clamped";
    struct Case {
        float note;
        float ms;
    };
    // At 100 BPM one beat is 600 ms.
    for (const Case& c :
         {Case{0.0f, 75.0f}, Case{1.0f, 150.0f}, Case{2.0f, 100.0f}, Case{3.0f, 225.0f},
          Case{4.0f, 300.0f}, Case{5.0f, 200.0f}, Case{6.0f, 450.0f}, Case{8.0f, 400.0f}}) {
        delay.delayBpm.setValue(c.note, true);
        EXPECT_NEAR(delay.delay.getValue(), c.ms, 1e-3f) << c.note;
        EXPECT_NEAR(rig.dsp.sent(kDelay1).back(), c.ms, 1e-3f) << c.note;
    }
    delay.bpm.setValue(0.0f, true);
    delay.delayBpm.setValue(4.0f, true);
    delay.delay.setValue(40.0f, true);
    delay.bpm.setValue(1.0f, true);
    EXPECT_NEAR(delay.delay.getValue(), 300.0f, 1e-3f);
    EXPECT_EQ(Eng::StompMemoryMan::beatsOf(13), 4.0);
    EXPECT_EQ(Eng::StompMemoryMan::beatsOf(14), 0.0);
}

// The audio thread never waits for the document: while another thread holds
// its lock, blocks run but deliver neither the tempo nor the read-backs; the
// first block that gets the lock delivers the tempo once, then syncs.
TEST(EngineTempo, NothingIsDeliveredWhileTheDocumentIsLocked)
{
    DelayRig rig;
    rig.dsp.values = {{"Level_Meter_Input", 0.5f}};
    Doc::StompMemoryMan& delay = rig.first();
    const float before = delay.delay.getValue();

    std::promise<void> locked, release;
    std::thread holder([&] {
        rig.document.getLock()->enter();
        locked.set_value();
        release.get_future().wait();
        rig.document.getLock()->leave();
    });
    locked.get_future().wait();
    for (float tempo : {120.0f, 90.0f, 120.0f})
        rig.block(tempo);
    EXPECT_TRUE(rig.dsp.calls.empty());
    EXPECT_EQ(delay.delay.getValue(), before);
    EXPECT_EQ(rig.document.getInput().inputLevelMeter.getValue(), 0.0f);
    EXPECT_EQ(rig.engine.currentTempo(), 120.0f);
    release.set_value();
    holder.join();

    rig.block(120.0f);
    EXPECT_EQ(rig.dsp.calls, (std::vector<Call>{{kDelay1, 500.0f, ""}, {kDelay4, 500.0f, ""}}));
    EXPECT_EQ(rig.document.getInput().inputLevelMeter.getValue(), 0.5f);
    rig.dsp.calls.clear();
    rig.block(120.0f);
    EXPECT_TRUE(rig.dsp.calls.empty());
}

// A state loaded while the tempo stands still: the delay time it carries
// gives way to the tempo's, even where sync and note value were already set.
TEST(EngineTempo, AStateLoadedAtASteadyTempoFollowsIt)
{
    DelayRig rig;
    rig.first().delayBpm.setValue(7.0f, true); // one beat
    rig.block(120.0f);
    ASSERT_EQ(rig.first().delay.getValue(), 500.0f);

    const std::string chunk =
        "<Preset><Stomp Stomp1=\"MemoryMan\"><Stomp1 BPM=\"1\" Delay=\"300\" DelayBPM=\"7\" />"
        "</Stomp></Preset>";
    {
        platform::ScopedEnter guard(*rig.document.getLock());
        rig.document.loadChunk(chunk.data(), static_cast<std::int32_t>(chunk.size()));
    }
    EXPECT_EQ(rig.first().delay.getValue(), 500.0f);
}
