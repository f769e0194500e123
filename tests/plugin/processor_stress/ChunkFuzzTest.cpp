// A fixed-seed corpus of hostile chunks through setChunk: whatever a host
// hands over, the processor keeps every parameter finite and inside its range
// and goes on playing.
#include "ChunkCorpus.h"
#include "StressFixtures.h"

namespace {

TEST(ProcessorChunkFuzz, hostileChunksLeaveEveryParameterInRangeAndTheRigPlaying)
{
    test::ModuleUse module;
    test::StressHost host;
    Zq::DUZ2::ProcessTable* t = module.create(host.getHostTable());
    ASSERT_NE(t, nullptr);
    t->setBlockSize(t, 256);
    const std::vector<float> tone = test::sine(256, 0.5f, 110.0f, 44100.0f);
    std::vector<float> inL = tone, inR = tone, outL(256), outR(256);

    // The bases: the fresh chunk and a full rig as the processor writes it.
    const std::string fresh = test::chunkOf(t);
    test::loadChunk(t, test::fullRigChunk());
    const std::string full = test::chunkOf(t);
    ASSERT_NE(fresh, full);

    const std::vector<test::HostileChunk> corpus = test::hostileChunks({fresh, full}, 27u, 300);
    int n = 0;
    for (const test::HostileChunk& chunk : corpus) {
        SCOPED_TRACE(testing::Message() << "input " << n << " of size " << chunk.size << ": "
                                        << chunk.text.substr(0, 200));
        t->setChunk(t, chunk.text.data(), chunk.size);
        float* ins[2] = {inL.data(), inR.data()};
        float* outs[2] = {outL.data(), outR.data()};
        t->process(t, ins, outs, 256, nullptr);
        ASSERT_TRUE(test::allFinite(outL.data(), 256) && test::allFinite(outR.data(), 256));
        test::expectParametersInRange(t);
        if (n++ % 8 == 0)
            test::expectChunkInRange(test::chunkOf(t));
        if (HasFailure())
            break;
        // Every few inputs from a known state again, so that mutations of a
        // full rig meet a full rig.
        if (n % 16 == 0)
            test::loadChunk(t, n % 32 ? full : fresh);
    }
    test::expectChunkInRange(test::chunkOf(t));
    EXPECT_EQ(host.badChanges.load(), 0);
    module.destroy(t);
}

// The hostile sizes change nothing at all, and a chunk is read no further
// than the size given.
TEST(ProcessorChunkFuzz, sizesOfZeroAndBelowChangeNothingAndTheSizeBoundsTheRead)
{
    test::ModuleUse module;
    test::StressHost host;
    Zq::DUZ2::ProcessTable* t = module.create(host.getHostTable());
    const std::string before = test::chunkOf(t);
    const std::string& full = test::fullRigChunk();
    for (std::int32_t size : {0, -1, INT32_MIN}) {
        t->setChunk(t, full.data(), size);
        EXPECT_EQ(test::chunkOf(t), before) << size;
    }
    t->setChunk(t, nullptr, 100);
    EXPECT_EQ(test::chunkOf(t), before);
    // Cut short before the root closes: not well formed, so nothing changes.
    t->setChunk(t, full.data(), static_cast<std::int32_t>(full.size() - 3));
    EXPECT_EQ(test::chunkOf(t), before);
    module.destroy(t);
}

} // namespace
