// The engine convolver's reserved storage, which lets the cabinet change responses on the audio
// thread without allocating.
#include "engine/dsp/Convolver.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using dsp::Domain::OldConvolvers::Convolver;

using test::randomSignal;

std::vector<float> run(Convolver& convolver, const std::vector<float>& input)
{
    std::vector<float> output(input.size());
    for (size_t done = 0; done < input.size(); done += 64)
        convolver.process(output.data() + done, input.data() + done, 64);
    return output;
}

// Shorter and longer impulses in turn over reused buffers, each leaving a tail and stale samples
// behind, play exactly as in a fresh convolver.
TEST(ConvolverReserve, ImpulsesWithinTheReservedLengthReuseTheBuffersAndPlayAsFresh)
{
    const std::vector<float> input = randomSignal(64 * 80, 1);
    Convolver reused;
    reused.reserve(2048);
    ASSERT_EQ(reused.reservedLength(), 2048);
    for (int L : {2048, 4, 1, 300, 2, 2048, 256}) {
        SCOPED_TRACE("impulse length " + std::to_string(L));
        const std::vector<float> impulse = randomSignal(L, 10u + L);
        reused.setImpulse(impulse.data(), L);
        EXPECT_EQ(reused.reservedLength(), 2048);
        Convolver fresh;
        fresh.setImpulse(impulse.data(), L);
        EXPECT_EQ(run(reused, input), run(fresh, input));
    }
}

TEST(ConvolverReserve, GrowingKeepsTheImpulseAndALongerImpulseGrowsTheBuffers)
{
    const std::vector<float> impulse = randomSignal(100, 2);
    const std::vector<float> input = randomSignal(64 * 10, 3);
    Convolver reference;
    reference.setImpulse(impulse.data(), 100);

    Convolver grown;
    grown.setImpulse(impulse.data(), 100);
    grown.reserve(4000);
    EXPECT_EQ(grown.reservedLength(), 4000);
    EXPECT_EQ(grown.impulseLength(), 100);
    EXPECT_EQ(run(grown, input), run(reference, input));

    const std::vector<float> longer = randomSignal(5000, 4);
    grown.setImpulse(longer.data(), 5000);
    EXPECT_EQ(grown.reservedLength(), 5000);
    Convolver fresh;
    fresh.setImpulse(longer.data(), 5000);
    EXPECT_EQ(run(grown, input), run(fresh, input));

    grown.freeSegments();
    grown.reserve(8); // nothing left to keep: a silent impulse
    EXPECT_EQ(grown.impulseLength(), 1);
}

} // namespace
