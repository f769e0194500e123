// Host blocks of any size: the latency stays four samples, nothing allocates
// in the block call, and a chain of models that do not depend on the piece
// length gives the same output whatever the host's blocks.
#include "ChainHelpers.h"
#include "tests/support/CountingAllocator.h"

#include <gtest/gtest.h>

namespace {

using namespace chain;

// Random sizes 1..8192 after the edge sizes and a few primes.
std::vector<std::uint32_t> hostBlocks(std::size_t count, unsigned seed)
{
    std::vector<std::uint32_t> blocks = {1,  2,   3,   5,    7,    61,   64,
                                         65, 127, 509, 1021, 4093, 8191, 8192};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::uint32_t> size(1, 8192);
    while (blocks.size() < count)
        blocks.push_back(size(rng) % 3 == 0 ? size(rng) % 97 + 1 : size(rng));
    std::shuffle(blocks.begin() + 1, blocks.end(), rng);
    return blocks;
}

TEST(ChainHostBlocks, TheLatencyIsFourSamplesForEveryBlockSize)
{
    Rig r;
    r.applyDefaults();
    r.setNow("Mix_MainMixer", 1.0f); // the direct path: the input as it came
    const std::vector<float> x = test::randomSignal(60000, 11);
    const rig::Stereo y = r.run(x, hostBlocks(40, 1));
    for (std::size_t i = 0; i < x.size(); ++i) {
        const float want = i < rig::kLatency ? 0.0f : x[i - rig::kLatency];
        ASSERT_EQ(y.left[i], want) << i;
        ASSERT_EQ(y.right[i], want) << i;
    }
}

TEST(ChainHostBlocks, NothingAllocatesInTheBlockCallWithNoChangePending)
{
    for (bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "loaded" : "default");
        Rig r;
        if (loaded)
            loadFull(r);
        else
            r.applyDefaults();
        const std::vector<std::uint32_t> blocks = hostBlocks(24, 2);
        const std::vector<float> x = phrase(8192);
        rig::Stereo y{std::vector<float>(8192), std::vector<float>(8192)};
        ASSERT_EQ(r.host.getParameterChanges().getPendingCount(), 0u);
        test::allocations::take();
        {
            test::allocations::Counting counting;
            int* volatile probe = new int[16];
            delete[] probe;
        }
        ASSERT_EQ(test::allocations::take(), 1) << "the counter sees allocations";
        long counted = 0;
        for (std::uint32_t n : blocks) {
            const float* in[] = {x.data()};
            float* out[] = {y.left.data(), y.right.data()};
            {
                test::allocations::Counting counting;
                r.host.processHost(in, out, n);
            }
            const long allocations = test::allocations::take();
            counted += allocations;
            EXPECT_EQ(allocations, 0) << "block of " << n;
        }
        EXPECT_EQ(counted, 0);
        EXPECT_TRUE(allFinite(y));
    }
}

// Overdrive, octaver and analog delay at depth 0 into the cabinet: none of
// them depends on the piece length, so once their controls have settled
// random host blocks give the 64-frame output sample for sample.
TEST(ChainHostBlocks, APieceLengthIndependentChainIgnoresTheHostBlocks)
{
    auto load = [](Rig& r) {
        r.applyDefaults();
        chooseStomp(r, 0, "Overdrive");
        chooseStomp(r, 1, "Octaver");
        chooseStomp(r, 2, "AnalogDelay");
        r.setNow("Model_0_AmpModule", static_cast<float>(amps::Model::Empty));
        r.set().reset();
        r.push(stompName("Level", 0), 0.7f);
        r.push(stompName("OctaveLevel", 1), 0.6f);
        r.push(stompName("Depth", 2), 0.0f);
        r.push(stompName("Delay", 2), 60.0f);
        r.run(phrase(22050, 44100.0f, 9), {64}); // slews and the delay's ramp arrive
    };
    Rig steady, random;
    load(steady);
    load(random);
    const std::vector<float> x = phrase(44100, 44100.0f, 5);
    const rig::Stereo want = steady.run(x, {64});
    const rig::Stereo got = random.run(x, hostBlocks(30, 3));
    ASSERT_TRUE(allFinite(want));
    EXPECT_GT(rms(want.left), 1e-3);
    for (std::size_t i = 0; i < x.size(); ++i) {
        ASSERT_EQ(got.left[i], want.left[i]) << i;
        ASSERT_EQ(got.right[i], want.right[i]) << i;
    }
}

} // namespace
