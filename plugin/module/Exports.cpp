// The module's two exports and its load and unload hooks.
//
// The plug-in object is created while the module loads, so it exists before
// any host call; a host that unloads without releasing still has it deleted
// with its processors. Its construction reaches other code only through
// function-local statics (settings, messages, the processor registry), so it
// does not depend on the order in which the module's statics are set up.

#include "plugin/DUZ2.h"
#include "plugin/module/PlugIn.h"
#include "plugin/rig/DsmActivePreference.h"

#include <atomic>
#include <mutex>

namespace {

using Zq::BorvanRAZ::PlugIn;

std::mutex& exportMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Hosts call the exports from one thread; the count is atomic and the two
// exports are serialised all the same, since nothing is lost by it.
std::atomic<std::int32_t> useCount{0};

void deletePlugIn()
{
    // Through the interface's deleting destructor, as a host's release would.
    if (Zq::DUZ2::PlugIn* plugIn = PlugIn::findInstance())
        delete plugIn;
}

__attribute__((constructor)) void createAtLoad()
{
    try {
        std::lock_guard lock(exportMutex());
        // The module-wide power-amp detail preference exists before any
        // document that follows it.
        Zq::BorvanRAZ::Document::createDsmActivePreference();
        PlugIn::getInstance();
    } catch (...) {
        // The first acquire tries again.
    }
}

__attribute__((destructor)) void deleteAtUnload()
{
    try {
        std::lock_guard lock(exportMutex());
        deletePlugIn();
        Zq::BorvanRAZ::Document::releaseDsmActivePreference();
    } catch (...) {
    }
}

} // namespace

extern "C" Zq::DUZ2::PlugInTable* DUZ2Acquire(std::int32_t version, std::int32_t* served)
{
    try {
        if (version != 1)
            return nullptr;
        std::lock_guard lock(exportMutex());
        if (served)
            *served = 1;
        PlugIn* plugIn = PlugIn::getInstance();
        useCount.fetch_add(1);
        return plugIn->getTable();
    } catch (...) {
        return nullptr;
    }
}

extern "C" std::int32_t DUZ2Release()
{
    try {
        std::lock_guard lock(exportMutex());
        const std::int32_t remaining = useCount.fetch_sub(1) - 1;
        if (remaining > 0)
            return remaining;
        // A release without an acquire must not leave the count below zero
        // for the next host.
        useCount.store(0);
        deletePlugIn();
        return 0;
    } catch (...) {
        return 0;
    }
}
