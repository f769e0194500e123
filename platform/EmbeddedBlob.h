#pragma once

#include <cstddef>

namespace platform {

// Read-only data linked into the program and found by a numeric id, as a
// program's own resources are. A generated source registers its bytes at
// start-up through a static EmbeddedBlobRegistration; lookups return the
// registered bytes (which live as long as the program).
struct EmbeddedBlob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// False when nothing is registered under the id.
bool findEmbeddedBlob(int id, EmbeddedBlob& blob);

// Registers bytes under an id for the registration's lifetime; a second
// registration of the same id hides the first until it ends.
class EmbeddedBlobRegistration {
public:
    EmbeddedBlobRegistration(int id, const void* data, std::size_t size);
    ~EmbeddedBlobRegistration();
    EmbeddedBlobRegistration(const EmbeddedBlobRegistration&) = delete;
    EmbeddedBlobRegistration& operator=(const EmbeddedBlobRegistration&) = delete;

private:
    int id_;
    const void* data_;
};

} // namespace platform
