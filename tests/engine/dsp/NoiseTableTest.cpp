#include "engine/dsp/KernelDispatch.h"
#include "engine/dsp/Noise.h"
#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// The generator written out independently.
float referenceNoise(std::uint32_t& state)
{
    state = static_cast<std::uint32_t>(static_cast<std::uint64_t>(state) * 1103515245u + 12345u);
    const double unit =
        static_cast<double>(state % (1u << 30)) / static_cast<double>(1u << 29) - 1.0;
    return static_cast<float>(unit * 1e-20);
}

TEST(NoiseTable, EachDispatchFillsItFromTheKeptState)
{
    auto previousSink = platform::setDebugOutputSink([](std::string_view) {});
    const std::uint32_t start = 0xC0FFEEu;
    utils::setNoiseState(start);
    std::uint32_t state = start;
    for (int fill = 0; fill < 3; ++fill) {
        utils::initKernels(128);
        const float* table = utils::noiseTable();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(table) % 16, 0u);
        for (std::size_t i = 0; i < utils::kNoiseTableSize; ++i) {
            const float want = referenceNoise(state);
            ASSERT_EQ(table[i], want) << "fill " << fill << ", entry " << i;
            ASSERT_GE(static_cast<double>(table[i]), -1e-20);
            ASSERT_LT(static_cast<double>(table[i]), 1e-20);
        }
        EXPECT_EQ(utils::getNoiseState(), state); // carried over to the next fill
    }
    platform::setDebugOutputSink(std::move(previousSink));
}

TEST(NoiseTable, ValuesStayInsideTheirRangeAtBothExtremesOfTheGenerator)
{
    // States whose next step lands on the lowest and the highest 30-bit value.
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    // state' = state a + c, so the state before s' is (s' - c) a^-1 (mod 2^32).
    const std::uint32_t inverse = 4005161829u; // 1103515245^-1 mod 2^32
    ASSERT_EQ(static_cast<std::uint32_t>(inverse * 1103515245u), 1u);
    low = (0u - 12345u) * inverse;
    high = (0x3FFFFFFFu - 12345u) * inverse;
    EXPECT_EQ(utils::nextNoise(low), -1e-20f);
    const float top = utils::nextNoise(high);
    EXPECT_LT(static_cast<double>(top), 1e-20);
    EXPECT_GT(top, 0.99e-20f);
}

} // namespace
