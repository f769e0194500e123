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

// Under a full queue the latest write of an index is the one applied, in the
// place of that index's pending write; a write for an index with nothing
// pending is dropped, counted, and leaves the host's view as it was.
TEST_F(WorkerTest, underAFullQueueTheLastWriteOfAnIndexLandsAndOthersAreCounted)
{
    using Zq::BorvanRAZ::Automation::Main;
    std::vector<std::pair<char, float>> applied; // in the order the worker applies them
    rig.getOutput().phase.changed.connect(
        [&](Parameter* p) { applied.emplace_back('p', p->getValue()); });
    rig.getOutput().mix.changed.connect(
        [&](Parameter* p) { applied.emplace_back('m', p->getValue()); });
    const float masterBefore = t->getParameterNormalized(t, 0);
    {
        platform::ScopedEnter held(*rig.getLock());
        t->setParameterNormalized(t, 2, 0.999f); // the batch the worker waits with
        ASSERT_TRUE(eventually([&] { return manager.getQueuedEvents() == 0; }));
        // Mix and phase by turns until the queue is full.
        for (std::size_t k = 0; k < Main::kQueueCapacity; ++k) {
            const float step = static_cast<float>(k / 2 + 1) / (Main::kQueueCapacity + 2);
            t->setParameterNormalized(t, k % 2 == 0 ? 2 : 1, step);
        }
        ASSERT_EQ(manager.getQueuedEvents(), Main::kQueueCapacity);
        t->setParameterNormalized(t, 2, 0.75f);
        t->setParameterNormalized(t, 1, 0.25f);
        t->setParameterNormalized(t, 0, masterBefore > 0.5f ? 0.1f : 0.9f); // none of it pending
        EXPECT_EQ(manager.getQueuedEvents(), Main::kQueueCapacity);
        EXPECT_EQ(manager.getDroppedWrites(), 1u);
        EXPECT_EQ(t->getParameterNormalized(t, 0), masterBefore);
    }
    ASSERT_TRUE(manager.waitUntilApplied());
    EXPECT_EQ(rig.getOutput().mix.getValue(), 75.0f);
    EXPECT_FLOAT_EQ(rig.getOutput().phase.getValue(), 5.0f);
    EXPECT_EQ(t->getParameterNormalized(t, 0), masterBefore);
    EXPECT_EQ(manager.getDroppedWrites(), 1u);
    // The queue's order stayed: the two last writes took the places of their
    // index's last pending writes, the mix's before the phase's.
    ASSERT_GE(applied.size(), 2u);
    EXPECT_EQ(applied[applied.size() - 2], std::make_pair('m', 75.0f));
    EXPECT_EQ(applied.back().first, 'p');
}

// A settle waits for the writes made before it, and for no longer than its
// bound: a worker that cannot apply (the document held by the caller) is
// reported once on standard error and the caller goes on.
TEST_F(WorkerTest, aSettleIsBoundedAndSaysSoOnce)
{
    platform::ScopedEnter held(*rig.getLock());
    t->setParameterNormalized(t, 2, 0.5f);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.waitUntilApplied(std::chrono::milliseconds(20)));
    EXPECT_FALSE(manager.waitUntilApplied(std::chrono::milliseconds(20)));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("still waiting"), std::string::npos) << said;
    EXPECT_EQ(said.find("still waiting"), said.rfind("still waiting")) << said;
}

TEST_F(WorkerTest, aSettleDoesNotWaitForWritesMadeAfterIt)
{
    // A writer that never stops: every settle still ends, at the writes it
    // found.
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int k = 0; !stop.load(); ++k)
            t->setParameterNormalized(t, 2, static_cast<float>(k % 100) / 100.0f);
    });
    for (int round = 0; round < 50; ++round)
        EXPECT_TRUE(manager.waitUntilApplied());
    stop = true;
    writer.join();
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
