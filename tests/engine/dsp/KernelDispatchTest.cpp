#include "engine/dsp/KernelDispatch.h"
#include "engine/dsp/Kernels.h"
#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using platform::ProcessorIdentity;

namespace {

constexpr std::uint32_t kMmx = ProcessorIdentity::kMmx;
constexpr std::uint32_t kSse = ProcessorIdentity::kSse;

ProcessorIdentity processor(const char* vendor, std::uint32_t edx, std::uint32_t family = 6,
                            bool sseSaved = true, std::uint32_t extendedEdx = 0)
{
    ProcessorIdentity p;
    p.vendor = vendor;
    p.version = family << 8;
    p.featuresEdx = edx;
    p.systemSavesSseState = sseSaved;
    if (extendedEdx != 0) {
        p.maxExtendedLeaf = 0x80000001u;
        p.extendedEdx = extendedEdx;
    }
    return p;
}

// Captures the debug output and restores the real processor query afterwards.
class KernelDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousSink_ =
            platform::setDebugOutputSink([this](std::string_view text) { log += text; });
    }
    void TearDown() override
    {
        utils::setProcessorQuery({});
        utils::initKernels(128);
        platform::setDebugOutputSink(std::move(previousSink_));
    }
    void pretend(const ProcessorIdentity& identity)
    {
        utils::setProcessorQuery([identity] { return identity; });
    }

    std::string log;

private:
    platform::DebugOutputSink previousSink_;
};

TEST_F(KernelDispatch, TheHostsMaskInstallsThePlainSetOnThisProcessor)
{
    utils::initKernels(128);
    EXPECT_EQ(&utils::kernels(), &utils::plainKernels());
    EXPECT_EQ(utils::getFeatures() & utils::kFeatureSse, 0u);
    EXPECT_EQ(log, "Blend Optimizaions\n");
}

struct ProcessorCase {
    const char* name;
    ProcessorIdentity identity;
    std::uint32_t mask;
    std::uint32_t word;
};

TEST_F(KernelDispatch, TheProcessorDecidesTheSetUnlessTheMaskForbids)
{
    const std::uint32_t k3dNow = ProcessorIdentity::k3dNow;
    const ProcessorCase cases[] = {
        {"Intel with SSE saved by the system", processor("GenuineIntel", kMmx | kSse), 0, 0xB1},
        {"the same with the host's mask", processor("GenuineIntel", kMmx | kSse), 128, 0x31},
        {"Intel with SSE the system does not save",
         processor("GenuineIntel", kMmx | kSse, 6, false), 0, 0x31},
        {"Intel family 6 with MMX", processor("GenuineIntel", kMmx), 0, 0x31},
        {"Intel family 6 without MMX", processor("GenuineIntel", 0), 0, 0x21},
        {"Intel family 5 with MMX", processor("GenuineIntel", kMmx, 5), 0, 0x11},
        {"Intel family 5", processor("GenuineIntel", 0, 5), 0, 0x01},
        {"Intel family 15 with SSE", processor("GenuineIntel", kMmx | kSse, 15), 0, 0xB1},
        {"a mask clears other bits too", processor("GenuineIntel", kMmx | kSse), 0x11, 0xA0},
        {"AMD with SSE and 3DNow!", processor("AuthenticAMD", kMmx | kSse, 6, true, k3dNow), 0,
         0x52},
        {"AMD with MMX", processor("AuthenticAMD", kMmx | kSse), 0, 0x12},
        {"AMD without", processor("AuthenticAMD", 0), 0, 0x02},
        {"Cyrix with MMX and SSE", processor("CyrixInstead", kMmx | kSse), 0, 0x13},
        {"Cyrix without", processor("CyrixInstead", 0), 0, 0x03},
        {"another vendor with MMX and SSE", processor("CentaurHauls", kMmx | kSse), 0, 0x10},
        {"another vendor without", processor("CentaurHauls", 0), 0, 0x00},
        {"no identification at all", ProcessorIdentity{}, 0, 0x00},
    };
    for (const ProcessorCase& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        pretend(c.identity);
        EXPECT_EQ(utils::checkProcessor(c.mask), c.word);
        utils::initKernels(c.mask);
        EXPECT_EQ(utils::getFeatures(), c.word);
        const bool sse = (c.word & utils::kFeatureSse) != 0;
        EXPECT_EQ(&utils::kernels(), sse ? &utils::sseKernels() : &utils::plainKernels());
        EXPECT_EQ(log, sse ? "Katmai Optimizaions\n" : "Blend Optimizaions\n");
    }
}

TEST_F(KernelDispatch, ADispatchWhileAnotherEnginePlaysNeverShowsAHalfWrittenSet)
{
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::thread player([&] {
        alignas(16) float d[8];
        alignas(16) const float s[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        while (!stop.load()) {
            const utils::KernelTable& k = utils::kernels();
            for (float& x : d)
                x = 1.0f;
            k.add(d, s, 8);
            k.scaleStereo(d, 8, 2.0f, 0.5f);
            if (d[0] != 4.0f || d[1] != 1.5f || d[7] != 4.5f)
                wrong.fetch_add(1);
        }
    });
    pretend(processor("GenuineIntel", kMmx | kSse));
    for (int i = 0; i < 300; ++i)
        utils::initKernels(i % 2 == 0 ? 0u : 128u);
    stop.store(true);
    player.join();
    EXPECT_EQ(wrong.load(), 0);
}

#if defined(__x86_64__)
TEST(ProcessorCheck, ThisSystemSavesTheSseState)
{
    const ProcessorIdentity p = platform::queryProcessor();
    EXPECT_TRUE(p.systemSavesSseState);
    EXPECT_NE(p.featuresEdx & kSse, 0u); // part of every x86-64 processor
    if (p.vendor == "GenuineIntel") {
        EXPECT_EQ(utils::checkProcessor(p, 0) & utils::kFeatureSse, utils::kFeatureSse);
    }
}
#endif

} // namespace
