#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "editor/resources/Provider.h"

namespace Zq::Application::Res {

// Reference-counted objects of one kind (Bitmap, Font, TiXmlDocument) read by
// name through a provider: a resource that several widgets use is read once
// and deleted when its last user releases it. An object whose content could
// not be read (an empty image, a document holding a parse error) is cached
// like any other; only a name no location holds gives null. `get` and
// `release` hold the provider's lock, so any thread may call them.
template <class T> class ResourceCache {
public:
    explicit ResourceCache(Provider& provider) : provider_(provider) {}
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // One more reference to the named object, read on first use; null when no
    // location holds the name.
    T* get(const std::string& name);
    // Gives back one reference; the last one deletes the object. A pointer the
    // cache does not hold changes nothing.
    void release(const T* object);

    // Names currently cached, and the references held on one (0 when absent).
    std::size_t size();
    std::uint32_t references(const std::string& name);

private:
    struct Entry {
        std::unique_ptr<T> object;
        std::uint32_t count = 0;
    };

    Provider& provider_;
    std::map<std::string, Entry> entries_;
};

} // namespace Zq::Application::Res
