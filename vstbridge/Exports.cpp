// The bridge's three exports. A VST host is C: an exception reaching it ends
// the host, so every export catches everything, says what on standard error
// and answers null.

#include "vstbridge/VST.h"

#include <cstdio>
#include <exception>

#define CARAPACE_EXPORT extern "C" __attribute__((visibility("default")))

using Zq::Carapace::AudioEffect;
using Zq::Vst::AEffect;
using Zq::Vst::HostCallback;

namespace {

void reportFailure(const char* entry, const char* what)
{
    std::fprintf(stderr, "Carapace %s: %s\n", entry, what);
}

// The effect reports parameter changes only from the moment the host has it.
AudioEffect* createEffect(HostCallback audioMaster, const char* entry) noexcept
{
    try {
        auto* effect = new Zq::Carapace::VST(audioMaster);
        effect->startReporting();
        return effect;
    } catch (const char* text) {
        reportFailure(entry, text);
    } catch (const std::exception& error) {
        reportFailure(entry, error.what());
    } catch (...) {
        reportFailure(entry, "unknown exception");
    }
    return nullptr;
}

// What the VST 2 entry points share: a host that does not answer the version
// question is not a VST 2 host.
AEffect* mainEntry(HostCallback audioMaster, const char* entry) noexcept
{
    try {
        if (!audioMaster ||
            audioMaster(nullptr, Zq::Vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;
    } catch (...) {
        reportFailure(entry, "the host's version call failed");
        return nullptr;
    }
    AudioEffect* effect = createEffect(audioMaster, entry);
    return effect ? effect->getAeffect() : nullptr;
}

} // namespace

CARAPACE_EXPORT AudioEffect* createEffectInstance(HostCallback audioMaster)
{
    return createEffect(audioMaster, "createEffectInstance");
}

// Linux hosts look this name up first.
CARAPACE_EXPORT AEffect* VSTPluginMain(HostCallback audioMaster)
{
    return mainEntry(audioMaster, "VSTPluginMain");
}

// The oldest hosts' name. The compiler refuses a C++ main returning a
// pointer, so the function carries the name for the assembler only.
CARAPACE_EXPORT AEffect* vstMainEntry(HostCallback audioMaster) __asm__("main");
AEffect* vstMainEntry(HostCallback audioMaster)
{
    return mainEntry(audioMaster, "main");
}
