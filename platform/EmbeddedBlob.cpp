#include "platform/EmbeddedBlob.h"

#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Entry {
    int id;
    const void* data;
    std::size_t size;
};

// Function-local, so registrations from static initialisers in any order
// find it built.
struct Registry {
    std::mutex mutex;
    std::vector<Entry> entries;
};

Registry& registry()
{
    static Registry* instance = new Registry; // outlives static destruction
    return *instance;
}

} // namespace

bool findEmbeddedBlob(int id, EmbeddedBlob& blob)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto it = r.entries.rbegin(); it != r.entries.rend(); ++it) {
        if (it->id == id) {
            blob.data = static_cast<const unsigned char*>(it->data);
            blob.size = it->size;
            return true;
        }
    }
    return false;
}

EmbeddedBlobRegistration::EmbeddedBlobRegistration(int id, const void* data, std::size_t size)
    : id_(id), data_(data)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.entries.push_back({id, data, size});
}

EmbeddedBlobRegistration::~EmbeddedBlobRegistration()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto it = r.entries.end(); it != r.entries.begin();) {
        --it;
        if (it->id == id_ && it->data == data_) {
            r.entries.erase(it);
            return;
        }
    }
}

} // namespace platform
