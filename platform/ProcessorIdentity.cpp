#include "platform/ProcessorIdentity.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include <cstring>

namespace platform {

ProcessorIdentity queryProcessor()
{
    ProcessorIdentity identity;
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0)
        return identity;
    const unsigned maxLeaf = eax;
    char vendor[12];
    std::memcpy(vendor + 0, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    identity.vendor.assign(vendor, sizeof vendor);

    if (maxLeaf >= 1 && __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        identity.version = eax;
        identity.featuresEdx = edx;
        identity.featuresEcx = ecx;
    }
    const unsigned maxExtended = __get_cpuid_max(0x80000000u, nullptr);
    if (maxExtended & 0x80000000u) {
        identity.maxExtendedLeaf = maxExtended;
        if (maxExtended >= 0x80000001u && __get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) != 0)
            identity.extendedEdx = edx;
    }
    // Linux has saved the SSE state on every task switch since SSE came out, and
    // on x86-64 it cannot do otherwise.
    identity.systemSavesSseState = true;
#endif
    return identity;
}

} // namespace platform
