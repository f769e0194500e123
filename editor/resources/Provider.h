#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/resources/ResourcePack.h"
#include "platform/CriticalSection.h"

namespace Zq::Application::Res {

// Resolves a resource name through an ordered list of locations, each a folder
// or a pack file (a location whose text after its last "." is exactly "pak").
//
// Every editor of the module shares one provider, and panels may be rebuilt on
// the thread that changed the document while another editor builds on the UI
// thread; both would move a pack's one stream. So whoever finds a name and
// reads the entry holds `access()` for the whole of it (the caches do). The
// lock is taken inside the document's lock, never around it, and never on the
// audio thread.
class Provider {
public:
    Provider() = default;
    virtual ~Provider();
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;

    // Appends the location unless it is listed already. A pack location opens
    // its pack (again, when added twice). The empty location, what an
    // unreadable setting leaves, is ignored: it would make every name a path
    // at the root of the file system.
    void addLocation(const std::string& location);

    // The first location, in the order added, that answers: a pack answers
    // every name (its caller then asks the pack, and later locations are not
    // tried), setting `pack`; a folder answers when location/name opens for
    // reading, setting `path` and a null `pack`. False when none answers.
    bool find(const std::string& name, std::string& path, ResourcePack*& pack);

    const std::vector<std::string>& getLocations() const noexcept { return locations_; }
    platform::CriticalSection& access() noexcept { return access_; }

private:
    std::vector<std::string> locations_;
    std::map<std::string, std::unique_ptr<ResourcePack>> packs_;
    platform::CriticalSection access_;
};

} // namespace Zq::Application::Res
