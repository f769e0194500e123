// ctest-label: tsan
#include "AutomationFixtures.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <thread>

namespace {

using test::Parameter;
using WorkerTest = test::AutomationTest;

// Waits for a condition another thread brings about; fails after ten
// seconds instead of hanging.
template <class Condition> bool eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

TEST_F(WorkerTest, writesQueueOnlyChangesAndABurstDuringABatchFormsTheNextBatchInOrder)
{
    std::vector<float> phases; // written by the worker, read after it is done
    rig.getOutput().phase.changed.connect([&](Parameter* p) { phases.push_back(p->getValue()); });
    {
        // While the document is held the worker stops at its first batch.
        platform::ScopedEnter held(*rig.getLock());
        t->setParameterNormalized(t, 2, 0.5f);
        ASSERT_TRUE(eventually([&] { return manager.getQueuedEvents() == 0; }));

        t->setParameterNormalized(t, 0, 0.75f);
        t->setParameterNormalized(t, 0, 0.75f);
        EXPECT_EQ(manager.getQueuedEvents(), 1u);
        for (int ms = 1; ms <= 20; ++ms)
            t->setParameterValue(t, 1, static_cast<float>(ms));
        EXPECT_EQ(manager.getQueuedEvents(), 21u);
        EXPECT_EQ(rig.getOutput().mix.getValue(), 100.0f); // nothing applied yet
    }
    manager.waitUntilApplied();
    std::vector<float> expected;
    for (int ms = 1; ms <= 20; ++ms)
        expected.push_back(static_cast<float>(ms));
    EXPECT_EQ(phases, expected);
    EXPECT_EQ(rig.getOutput().mix.getValue(), 50.0f);
    EXPECT_FLOAT_EQ(rig.getOutput().master.getValue(), 3.1622777f); // +10 dB
    EXPECT_TRUE(host.take().empty());                               // host values are not echoed
}

TEST_F(WorkerTest, hostReadsShowAWriteOnceItIsApplied)
{
    t->setParameterValue(t, 1, 10.0f); // a plain value goes through the converter
    t->setParameterNormalized(t, 2, 0.25f);
    manager.waitUntilApplied();
    EXPECT_STREQ(t->getParameterDisplay(t, 1), "10.0 ms");
    EXPECT_EQ(t->getParameterNormalized(t, 1), 0.5f);
    EXPECT_STREQ(t->getParameterDisplay(t, 2), "25 %");
    EXPECT_EQ(t->getParameterValue(t, 2), 25.0f);

    // A value the range refuses shows what the document kept.
    t->setParameterValue(t, 1, 99.0f);
    t->setParameterValue(t, 2, NAN);
    EXPECT_EQ(manager.getQueuedEvents() <= 1u, true);
    manager.waitUntilApplied();
    EXPECT_EQ(t->getParameterValue(t, 1), 20.0f);
    EXPECT_STREQ(t->getParameterDisplay(t, 2), "25 %");
}

TEST(WorkerShutdownTest, destroyingTheProcessorAppliesTheQueuedWritesFirst)
{
    test::RecordingHost host;
    auto processor = std::make_unique<Zq::BorvanRAZ::Process>(host.getHostTable());
    Zq::BorvanRAZ::Automation::Main& manager = processor->getAutomation();
    Zq::BorvanRAZ::Document::Rig& rig = processor->getDocument();
    std::vector<float> mixes;
    rig.getOutput().mix.changed.connect([&](Parameter* p) { mixes.push_back(p->getValue()); });
    Zq::DUZ2::ProcessTable* t = processor->getTable();

    std::atomic<bool> holding{false};
    std::atomic<bool> queued{false};
    std::thread holder([&] {
        platform::ScopedEnter held(*rig.getLock());
        holding = true;
        eventually([&] { return queued.load(); });
        // Let go only once the destruction has stopped the worker's loop.
        eventually([&] { return !manager.isRunning(); });
    });
    ASSERT_TRUE(eventually([&] { return holding.load(); }));
    t->setParameterValue(t, 2, 10.0f);
    ASSERT_TRUE(eventually([&] { return manager.getQueuedEvents() == 0; }));
    t->setParameterValue(t, 2, 20.0f);
    t->setParameterValue(t, 2, 30.0f);
    queued = true;
    processor.reset();
    holder.join();
    // Plain values travel as normalised ones, so they come back within float rounding.
    const float expected[] = {10.0f, 20.0f, 30.0f};
    ASSERT_EQ(mixes.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(mixes[i], expected[i]);
}

TEST_F(WorkerTest, stopIsIdempotentAndLaterWritesGoNowhere)
{
    manager.stop();
    manager.stop();
    t->setParameterValue(t, 2, 10.0f);
    EXPECT_EQ(manager.getQueuedEvents(), 0u);
    EXPECT_EQ(rig.getOutput().mix.getValue(), 100.0f);
}

TEST_F(WorkerTest, indicesOutsideTheListAnswerNeutrallyAndChangeNothing)
{
    const std::string before = rig.saveChunk();
    for (std::int32_t index : {-1, 107, INT32_MAX, INT32_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(manager.getParameterName(index), "");
        EXPECT_EQ(manager.getParameterDisplay(index), "");
        EXPECT_EQ(manager.getParameterValue(index), 0.0f);
        EXPECT_EQ(manager.getParameterNormalized(index), 0.0f);
        EXPECT_EQ(manager.getParameterTextForNormalized(index, 0.5f), "");
        EXPECT_EQ(manager.convertNormalizedToPlain(index, 0.5f), 0.0f);
        manager.setParameterValue(index, 5.0f);
        manager.setParameterNormalized(index, 0.5f);
        manager.refreshRecord(index);
        processor.notifyHostParameter(index, 1.0f, 1.0f); // passed on, and nothing else
    }
    EXPECT_EQ(manager.getQueuedEvents(), 0u);
    manager.waitUntilApplied();
    EXPECT_EQ(rig.saveChunk(), before);
    EXPECT_EQ(host.take().size(), 4u);
}

} // namespace
