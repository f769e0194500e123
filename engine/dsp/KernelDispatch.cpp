#include "engine/dsp/KernelDispatch.h"

#include "engine/dsp/Kernels.h"
#include "engine/dsp/Noise.h"
#include "platform/DebugOutput.h"

#include <atomic>
#include <mutex>

namespace utils {
namespace {

struct Dispatch {
    std::mutex mutex; // serialises initKernels and guards the query
    ProcessorQuery query;
    std::atomic<std::uint32_t> features{0};
    std::atomic<const KernelTable*> table{nullptr};
};

Dispatch& dispatch()
{
    static Dispatch instance;
    return instance;
}

platform::ProcessorIdentity ask(const ProcessorQuery& query)
{
    return query ? query() : platform::queryProcessor();
}

} // namespace

std::uint32_t checkProcessor(const platform::ProcessorIdentity& identity,
                             std::uint32_t disableMask) noexcept
{
    using P = platform::ProcessorIdentity;
    const bool mmx = (identity.featuresEdx & P::kMmx) != 0;
    const bool sse = (identity.featuresEdx & P::kSse) != 0;
    std::uint32_t word = 0;
    if (identity.vendor == "GenuineIntel") {
        if (sse)
            word = kFeatureIntel | kFeatureMmx | kFeatureP6 |
                   (identity.systemSavesSseState ? kFeatureSse : 0u);
        else
            word = kFeatureIntel | (mmx ? kFeatureMmx : 0u) |
                   (identity.family() >= 6 ? kFeatureP6 : 0u);
    } else if (identity.vendor == "AuthenticAMD") {
        // Every processor with 3DNow! has MMX as well.
        const bool threeDNow =
            identity.maxExtendedLeaf >= 0x80000001u && (identity.extendedEdx & P::k3dNow) != 0;
        word =
            kFeatureAmd | (mmx || threeDNow ? kFeatureMmx : 0u) | (threeDNow ? kFeature3dNow : 0u);
    } else if (identity.vendor == "CyrixInstead") {
        word = kFeatureCyrix | (mmx ? kFeatureMmx : 0u);
    } else {
        word = mmx ? kFeatureMmx : 0u;
    }
    return word & ~disableMask;
}

std::uint32_t checkProcessor(std::uint32_t disableMask)
{
    ProcessorQuery query;
    {
        Dispatch& d = dispatch();
        std::lock_guard<std::mutex> guard(d.mutex);
        query = d.query;
    }
    return checkProcessor(ask(query), disableMask);
}

ProcessorQuery setProcessorQuery(ProcessorQuery query)
{
    Dispatch& d = dispatch();
    std::lock_guard<std::mutex> guard(d.mutex);
    ProcessorQuery previous = std::move(d.query);
    d.query = std::move(query);
    return previous;
}

void initKernels(std::uint32_t disableMask)
{
    Dispatch& d = dispatch();
    std::lock_guard<std::mutex> guard(d.mutex);
    const std::uint32_t features = checkProcessor(ask(d.query), disableMask);
    const bool sse = (features & kFeatureSse) != 0;
    d.features.store(features, std::memory_order_relaxed);
    d.table.store(sse ? &sseKernels() : &plainKernels(), std::memory_order_release);
    platform::debugOutput(sse ? "Katmai Optimizaions\n" : "Blend Optimizaions\n");
    refillNoiseTable();
}

std::uint32_t getFeatures() noexcept
{
    return dispatch().features.load(std::memory_order_relaxed);
}

const KernelTable& kernels() noexcept
{
    const KernelTable* table = dispatch().table.load(std::memory_order_acquire);
    return table ? *table : plainKernels();
}

} // namespace utils
