#include "engine/dsp/Kernels.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using utils::KernelTable;

namespace {

constexpr std::size_t kCapacity = 2 * 1000 + 64; // the largest stereo buffer, plus guard floats
constexpr float kGuard = -777.0f;

std::uint32_t padded(std::uint32_t n)
{
    return (n + 3u) & ~3u;
}

// Every buffer a kernel may use, 16-byte aligned, random inside, guards after.
struct Buffers {
    alignas(16) std::array<float, kCapacity> d, s, a, b, l, r, g;
    alignas(16) std::array<std::int32_t, kCapacity> ints;

    void fill(unsigned seed)
    {
        std::mt19937 generator(seed);
        std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
        for (auto* buffer : {&d, &s, &a, &b, &l, &r, &g})
            for (float& x : *buffer)
                x = uniform(generator);
        std::uniform_int_distribution<std::int32_t> wide(-(1 << 30), 1 << 30);
        for (std::int32_t& x : ints)
            x = wide(generator);
    }
    // Guard values from `floats` on in the written buffers.
    void guard(std::array<float, kCapacity>& buffer, std::size_t floats)
    {
        for (std::size_t i = floats; i < kCapacity; ++i)
            buffer[i] = kGuard;
    }
};

// One kernel: how to call it, the same result written as a plain formula, which
// buffers it writes and how many floats of each (guards sit just past those).
struct KernelCase {
    std::string name;
    std::function<void(const KernelTable&, Buffers&, std::uint32_t n)> run;
    std::function<void(Buffers&, std::uint32_t n)> reference;
    // Buffers written, with the floats each holds for a count n.
    std::vector<std::pair<std::array<float, kCapacity> Buffers::*,
                          std::function<std::size_t(std::uint32_t)>>>
        writes;
};

const float gL = 0.8f, gR = -0.6f, g0 = 0.25f, dg = 0.001f;

std::size_t same(std::uint32_t n)
{
    return padded(n);
}
std::size_t stereoOfMono(std::uint32_t n)
{
    return 2 * padded(n);
}
std::size_t exact(std::uint32_t n)
{
    return n;
}

float ramp(float g, float step, std::uint32_t i)
{
    return g + static_cast<float>(i) * step;
}

const std::vector<KernelCase>& kernelCases()
{
    using B = Buffers;
    static const std::vector<KernelCase> list = {
        {"AddStereoGains",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addStereoGains(x.d.data(), x.s.data(), n, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); i += 2) {
                 x.d[i] += x.s[i] * gL;
                 x.d[i + 1] += x.s[i + 1] * gR;
             }
         },
         {{&B::d, same}}},
        {"AddRampMono",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addRamp(x.d.data(), x.s.data(), n, g0, dg, 1);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] += x.s[i] * ramp(g0, dg, i);
         },
         {{&B::d, same}}},
        {"AddRampStereo",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addRamp(x.d.data(), x.s.data(), n, g0, dg, 2);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] += x.s[i] * ramp(g0, dg, i / 2);
         },
         {{&B::d, same}}},
        {"AddMonoToStereoRamp",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addMonoToStereoRamp(x.d.data(), x.s.data(), n, g0, dg);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 const float v = x.s[i] * ramp(g0, dg, i);
                 x.d[2 * i] += v;
                 x.d[2 * i + 1] += v;
             }
         },
         {{&B::d, stereoOfMono}}},
        {"AddStereoRampPan",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addStereoRampPan(x.d.data(), x.s.data(), n, g0, dg, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); i += 2) {
                 const float gi = ramp(g0, dg, i / 2);
                 x.d[i] += (x.s[i] * gi) * gL;
                 x.d[i + 1] += (x.s[i + 1] * gi) * gR;
             }
         },
         {{&B::d, same}}},
        {"AddMonoToStereoRampPan",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addMonoToStereoRampPan(x.d.data(), x.s.data(), n, g0, dg, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 const float v = x.s[i] * ramp(g0, dg, i);
                 x.d[2 * i] += v * gL;
                 x.d[2 * i + 1] += v * gR;
             }
         },
         {{&B::d, stereoOfMono}}},
        {"ScaleRampMono",
         [](const KernelTable& k, B& x, std::uint32_t n) { k.scaleRamp(x.d.data(), n, g0, dg, 1); },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] *= ramp(g0, dg, i);
         },
         {{&B::d, same}}},
        {"ScaleRampStereo",
         [](const KernelTable& k, B& x, std::uint32_t n) { k.scaleRamp(x.d.data(), n, g0, dg, 2); },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] *= ramp(g0, dg, i / 2);
         },
         {{&B::d, same}}},
        {"ScaleStereoRamps",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.scaleStereoRamps(x.d.data(), n, gL, dg, gR, -dg);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); i += 2) {
                 x.d[i] *= ramp(gL, dg, i / 2);
                 x.d[i + 1] *= ramp(gR, -dg, i / 2);
             }
         },
         {{&B::d, same}}},
        {"Add",
         [](const KernelTable& k, B& x, std::uint32_t n) { k.add(x.d.data(), x.s.data(), n); },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] += x.s[i];
         },
         {{&B::d, same}}},
        {"AddMonoToStereo",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addMonoToStereo(x.d.data(), x.s.data(), n);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 x.d[2 * i] += x.s[i];
                 x.d[2 * i + 1] += x.s[i];
             }
         },
         {{&B::d, stereoOfMono}}},
        {"AddMonoToStereoPan",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.addMonoToStereoPan(x.d.data(), x.s.data(), n, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 x.d[2 * i] += x.s[i] * gL;
                 x.d[2 * i + 1] += x.s[i] * gR;
             }
         },
         {{&B::d, stereoOfMono}}},
        {"MoveToward",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.moveToward(x.d.data(), x.s.data(), n, 0.3f);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] += (x.s[i] - x.d[i]) * 0.3f;
         },
         {{&B::d, same}}},
        {"Blend",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.blend(x.d.data(), x.s.data(), n, 0.7f, 0.4f);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] = x.d[i] * 0.7f + x.s[i] * 0.4f;
         },
         {{&B::d, same}}},
        {"ScaleStereo",
         [](const KernelTable& k, B& x, std::uint32_t n) { k.scaleStereo(x.d.data(), n, gL, gR); },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); i += 2) {
                 x.d[i] *= gL;
                 x.d[i + 1] *= gR;
             }
         },
         {{&B::d, same}}},
        {"CopyStereoGains",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.copyStereoGains(x.d.data(), x.s.data(), n, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); i += 2) {
                 x.d[i] = x.s[i] * gL;
                 x.d[i + 1] = x.s[i + 1] * gR;
             }
         },
         {{&B::d, same}}},
        {"SplitStereoAdd",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.splitStereoAdd(x.l.data(), x.r.data(), x.s.data(), n, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 x.l[i] += x.s[2 * i] * gL;
                 x.r[i] += x.s[2 * i + 1] * gR;
             }
         },
         {{&B::l, same}, {&B::r, same}}},
        {"SplitStereo",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.splitStereo(x.l.data(), x.r.data(), x.s.data(), n, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 x.l[i] = x.s[2 * i] * gL;
                 x.r[i] = x.s[2 * i + 1] * gR;
             }
         },
         {{&B::l, same}, {&B::r, same}}},
        {"IntToFloatStereo",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.intToFloatStereo(x.d.data(), x.ints.data(), n, gL, gR);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); i += 2) {
                 x.d[i] = static_cast<float>(x.ints[i]) * (gL / 32768.0f);
                 x.d[i + 1] = static_cast<float>(x.ints[i + 1]) * (gR / 32768.0f);
             }
         },
         {{&B::d, same}}},
        {"IntToFloat",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.intToFloat(x.d.data(), x.ints.data(), n, 1.0f / 2147483648.0f);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] = static_cast<float>(x.ints[i]) * (1.0f / 2147483648.0f);
         },
         {{&B::d, same}}},
        {"Difference",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.difference(x.d.data(), x.a.data(), x.b.data(), n);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] = x.a[i] - x.b[i];
         },
         {{&B::d, same}}},
        {"Product",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.product(x.d.data(), x.a.data(), x.b.data(), n);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] = x.a[i] * x.b[i];
         },
         {{&B::d, same}}},
        {"StereoTimesGain",
         [](const KernelTable& k, B& x, std::uint32_t n) {
             k.stereoTimesGain(x.d.data(), x.s.data(), x.g.data(), n);
         },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i) {
                 x.d[2 * i] = x.s[2 * i] * x.g[i];
                 x.d[2 * i + 1] = x.s[2 * i + 1] * x.g[i];
             }
         },
         {{&B::d, stereoOfMono}}},
        {"Reciprocal",
         [](const KernelTable& k, B& x, std::uint32_t n) { k.reciprocal(x.d.data(), n); },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < padded(n); ++i)
                 x.d[i] = 1.0f / (x.d[i] + 1.0f);
         },
         {{&B::d, same}}},
        {"AddExactTouchesExactlyItsCount",
         [](const KernelTable& k, B& x, std::uint32_t n) { k.addExact(x.d.data(), x.s.data(), n); },
         [](B& x, std::uint32_t n) {
             for (std::uint32_t i = 0; i < n; ++i)
                 x.d[i] += x.s[i];
         },
         {{&B::d, exact}}},
    };
    return list;
}

struct Set {
    const char* name;
    const KernelTable& (*table)() noexcept;
};
const Set kSets[] = {{"plain", utils::plainKernels}, {"SSE", utils::sseKernels}};

class Kernels : public ::testing::TestWithParam<std::size_t> {
protected:
    const KernelCase& kernel() const { return kernelCases()[GetParam()]; }
};

// Both sets give the formula's result on aligned, padded random buffers, to
// float rounding, over the whole padded count and not one float further.
TEST_P(Kernels, BothSetsGiveTheFormulasResultOnThePaddedCount)
{
    for (std::uint32_t n : {4u, 5u, 64u, 1000u}) {
        auto want = std::make_unique<Buffers>();
        want->fill(n);
        for (const auto& [member, floats] : kernel().writes)
            want->guard(want.get()->*member, floats(n));
        kernel().reference(*want, n);

        for (const Set& set : kSets) {
            auto got = std::make_unique<Buffers>();
            got->fill(n);
            for (const auto& [member, floats] : kernel().writes)
                got->guard(got.get()->*member, floats(n));
            kernel().run(set.table(), *got, n);
            for (const auto& [member, floats] : kernel().writes) {
                const auto& g = got.get()->*member;
                const auto& w = want.get()->*member;
                for (std::size_t i = 0; i < kCapacity; ++i) {
                    const float tolerance = 4e-7f * std::max(1.0f, std::fabs(w[i]));
                    ASSERT_NEAR(g[i], w[i], tolerance)
                        << set.name << ", count " << n << ", float " << i;
                }
                ASSERT_EQ(g[floats(n)], kGuard) << set.name << " wrote past the count " << n;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Entry, Kernels, ::testing::Range<std::size_t>(0, kernelCases().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return kernelCases()[info.param].name;
                         });

TEST(KernelTableTest, HasTwentyTwoDispatchedEntriesAndThePlainExactAdd)
{
    // 22 entries (two of the cases above are modes of one entry) plus the exact add.
    constexpr std::size_t kEntries = sizeof(KernelTable) / sizeof(void (*)());
    EXPECT_EQ(kEntries, 23u);
    EXPECT_EQ(utils::sseKernels().addExact, utils::plainKernels().addExact);
#if defined(__SSE2__)
    EXPECT_NE(utils::sseKernels().add, utils::plainKernels().add);
#endif
}

#if !defined(NDEBUG) && defined(__SSE2__)
TEST(KernelTableDeathTest, SseSetRefusesAMisalignedBufferInDebugBuilds)
{
    alignas(16) float d[12] = {};
    alignas(16) float s[12] = {};
    EXPECT_DEATH(utils::sseKernels().add(d + 1, s, 4), "");
}
#endif

#if !defined(NDEBUG) && defined(__SANITIZE_ADDRESS__)
TEST(KernelTableDeathTest, BothSetsRefuseABufferShorterThanThePaddedCountUnderTheSanitizer)
{
    // Five floats on the heap: enough for the count, not for its padding to 8.
    auto d = std::make_unique<float[]>(5);
    auto s = std::make_unique<float[]>(5);
    EXPECT_DEATH(utils::plainKernels().add(d.get(), s.get(), 5), "");
    EXPECT_DEATH(utils::plainKernels().addExact(d.get(), s.get(), 6), "");
    utils::plainKernels().addExact(d.get(), s.get(), 5); // the exact add needs no padding
}
#endif

} // namespace
