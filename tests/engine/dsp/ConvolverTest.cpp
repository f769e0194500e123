#include "engine/dsp/Convolver.h"
#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using dsp::Domain::OldConvolvers::Convolver;
using dsp::Domain::OldConvolvers::ConvolverKernel;
namespace kernels = dsp::Domain::OldConvolvers;

// Every kernel this processor can run, the plain one first.
std::vector<std::pair<const char*, ConvolverKernel>> availableKernels()
{
    std::vector<std::pair<const char*, ConvolverKernel>> list = {{"plain", kernels::plainKernel},
                                                                 {"SSE", kernels::sseKernel}};
    if (kernels::avxAvailable())
        list.push_back({"AVX", kernels::avxKernel});
    if (kernels::avx512Available())
        list.push_back({"AVX-512", kernels::avx512Kernel});
    return list;
}

constexpr float kOffset = 1e-18f;

using test::randomSignal;

// Runs the whole signal through the convolver in blocks whose sizes come from nextBlock.
template <typename NextBlock>
std::vector<float> runInBlocks(Convolver& convolver, const std::vector<float>& input,
                               NextBlock nextBlock)
{
    std::vector<float> output(input.size());
    size_t done = 0;
    while (done < input.size()) {
        const int n = std::min<int>(nextBlock(), static_cast<int>(input.size() - done));
        convolver.process(output.data() + done, input.data() + done, n);
        done += static_cast<size_t>(n);
    }
    return output;
}

std::vector<double> directConvolution(const std::vector<float>& input,
                                      const std::vector<float>& impulse)
{
    std::vector<double> output(input.size(), 0.0);
    for (size_t n = 0; n < input.size(); ++n) {
        const double x = static_cast<double>(input[n]) + kOffset;
        const size_t end = std::min(impulse.size(), input.size() - n);
        for (size_t i = 0; i < end; ++i)
            output[n + i] += x * impulse[i];
    }
    return output;
}

TEST(Convolver, DefaultPassesTheInputWithTheOffset)
{
    Convolver convolver;
    const std::vector<float> input = randomSignal(3000, 1);
    const std::vector<float> output = runInBlocks(convolver, input, [] { return 64; });
    for (size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(output[i], input[i] + kOffset) << "sample " << i;
}

TEST(Convolver, SingleUnitSampleReproducesTheImpulseAcrossBlocksWithNoDelay)
{
    const std::vector<float> impulse = randomSignal(300, 2);
    Convolver convolver;
    convolver.setImpulse(impulse.data(), static_cast<int>(impulse.size()));
    std::vector<float> input(400, 0.0f);
    input[0] = 1.0f;
    const std::vector<float> output = runInBlocks(convolver, input, [] { return 64; });
    for (size_t i = 0; i < output.size(); ++i) {
        const float expected = i < impulse.size() ? impulse[i] : 0.0f;
        ASSERT_NEAR(output[i], expected, 1e-6f) << "sample " << i;
    }
}

TEST(Convolver, SetImpulseClearsTheTailAndResetsThePosition)
{
    const std::vector<float> impulse = randomSignal(100, 3);
    const std::vector<float> input = randomSignal(500, 4);

    Convolver fresh;
    fresh.setImpulse(impulse.data(), 100);
    const std::vector<float> expected = runInBlocks(fresh, input, [] { return 50; });

    Convolver used;
    used.setImpulse(impulse.data(), 100);
    std::vector<float> noise = randomSignal(1234, 5);
    runInBlocks(used, noise, [] { return 37; }); // leaves a tail and an odd position
    used.setImpulse(impulse.data(), 100);
    EXPECT_EQ(runInBlocks(used, input, [] { return 50; }), expected);
}

// Each impulse length against direct convolution in double precision, over a signal that wraps
// the accumulator (impulse length + 4096 floats) at least twice: in small random blocks and in
// blocks of the full capacity, with every kernel, all of which must agree to the bit (none may
// fuse the multiply and the add).
TEST(Convolver, MatchesDirectConvolutionForEveryLengthBlockSizeAndKernel)
{
    for (int L : {1, 2, 3, 4, 5, 256, 1024, 2048}) {
        SCOPED_TRACE("impulse length " + std::to_string(L));
        const std::vector<float> impulse = randomSignal(L, 100u + L);
        const std::vector<float> input = randomSignal(2 * (L + 4096) + 999, 200u + L);
        const std::vector<double> expected = directConvolution(input, impulse);
        double scale = 0.0;
        for (float h : impulse)
            scale += std::fabs(h);

        for (int capacityBlocks : {0, 1}) {
            std::vector<float> plain;
            for (const auto& [name, kernel] : availableKernels()) {
                Convolver convolver;
                convolver.setImpulse(impulse.data(), L);
                convolver.selectKernel(kernel);
                std::mt19937 rng(7);
                std::uniform_int_distribution<int> small(1, 64);
                const std::vector<float> output = runInBlocks(
                    convolver, input, [&] { return capacityBlocks ? 4096 : small(rng); });
                if (plain.empty()) {
                    plain = output;
                    for (size_t i = 0; i < input.size(); ++i)
                        ASSERT_NEAR(output[i], expected[i], 1e-6 * scale)
                            << "sample " << i
                            << (capacityBlocks ? " in 4096 blocks" : " in small blocks");
                } else {
                    ASSERT_EQ(output, plain) << name << " kernel differs from the plain one";
                }
            }
        }
    }
}

TEST(Convolver, ProcessRoutineSelectsTheVectorOrThePlainKernel)
{
    const std::vector<float> impulse = randomSignal(77, 15);
    const std::vector<float> input = randomSignal(999, 16);
    std::vector<float> outputs[2];
    for (int useVector : {0, 1}) {
        Convolver convolver;
        convolver.setImpulse(impulse.data(), 77);
        convolver.selectProcessRoutine(useVector == 1);
        outputs[useVector] = runInBlocks(convolver, input, [] { return 48; });
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}

TEST(Convolver, BlockLongerThanTheCapacityEqualsShorterCalls)
{
    const std::vector<float> impulse = randomSignal(1024, 8);
    const std::vector<float> input = randomSignal(5000, 9);

    Convolver whole;
    whole.setImpulse(impulse.data(), 1024);
    std::vector<float> once(5000);
    whole.process(once.data(), input.data(), 5000);

    Convolver halves;
    halves.setImpulse(impulse.data(), 1024);
    EXPECT_EQ(runInBlocks(halves, input, [] { return 2500; }), once);

    const std::vector<double> expected = directConvolution(input, impulse);
    for (size_t i = 0; i < once.size(); ++i)
        ASSERT_NEAR(once[i], expected[i], 1e-4) << "sample " << i;
}

TEST(Convolver, WorksInPlace)
{
    const std::vector<float> impulse = randomSignal(33, 10);
    std::vector<float> data = randomSignal(700, 11);
    Convolver reference;
    reference.setImpulse(impulse.data(), 33);
    const std::vector<float> expected = runInBlocks(reference, data, [] { return 64; });

    Convolver convolver;
    convolver.setImpulse(impulse.data(), 33);
    for (size_t done = 0; done < data.size(); done += 64)
        convolver.process(data.data() + done, data.data() + done,
                          std::min<int>(64, static_cast<int>(data.size() - done)));
    EXPECT_EQ(data, expected);
}

TEST(Convolver, NonFiniteInputClearsOnceItsTailHasPassed)
{
    const int L = 64;
    const std::vector<float> impulse = randomSignal(L, 12);
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        std::vector<float> input = randomSignal(6000, 13);
        std::vector<float> clean = input;
        input[10] = bad;
        clean[10] = 0.0f;
        Convolver poisoned;
        Convolver reference;
        poisoned.setImpulse(impulse.data(), L);
        reference.setImpulse(impulse.data(), L);
        const std::vector<float> out = runInBlocks(poisoned, input, [] { return 64; });
        const std::vector<float> expected = runInBlocks(reference, clean, [] { return 64; });
        // The kernels work in groups of four, and NaN times a padding zero is NaN: the damage may
        // reach three samples past the tail, never further.
        for (size_t i = 10 + L + 3; i < out.size(); ++i)
            ASSERT_EQ(out[i], expected[i]) << "sample " << i;
    }
}

TEST(Convolver, SilenceStaysOutOfTheSubnormalRange)
{
    // Impulse samples so small that their product with the offset would be subnormal.
    std::vector<float> impulse(256, 1e-25f);
    impulse[0] = 1e-30f;
    Convolver convolver;
    convolver.setImpulse(impulse.data(), 256);
    std::vector<float> silence(512, 0.0f);
    const std::vector<float> out = runInBlocks(convolver, silence, [] { return 64; });
    for (float v : out)
        ASSERT_TRUE(v == 0.0f || std::fpclassify(v) == FP_NORMAL) << v;
}

TEST(Convolver, MissingOrEmptyImpulseGivesSilence)
{
    Convolver convolver;
    convolver.setImpulse(nullptr, 16);
    std::vector<float> input = randomSignal(128, 14);
    for (float v : runInBlocks(convolver, input, [] { return 64; }))
        ASSERT_EQ(v, 0.0f);
    convolver.setImpulse(input.data(), 0);
    EXPECT_EQ(convolver.impulseLength(), 1);
}

} // namespace
