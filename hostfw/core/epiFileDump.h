#pragma once

#include "hostfw/core/epiObject.h"

#include <cstddef>

class epiAtomsFile;
class epiPath;

// A whole file held in memory, owned or borrowed.
class epiFileDump : public epiObject {
public:
    epiFileDump() = default;
    epiFileDump(const epiFileDump&) = delete;
    epiFileDump& operator=(const epiFileDump&) = delete;
    ~epiFileDump() override;

    // A 32-bit atom 'size', then the bytes as atom 'data'.
    virtual bool writeAtoms(epiAtomsFile& atoms);
    // Replaces the file with the bytes (null: the dump's own data) through a
    // temporary file renamed over it; on any failure the old file stays as it
    // was. False when there is nothing to write.
    virtual bool save(const epiPath& path, const void* bytes, std::size_t size, int = 0, int = 0);
    // Reads the two atoms writeAtoms writes; a stored size beyond the bytes
    // left in the file fails without allocating.
    virtual bool readAtoms(epiAtomsFile& atoms);
    virtual bool load(const epiPath& path);
    virtual unsigned char* getData() const { return data_; }
    virtual std::size_t getSize() const { return data_ ? size_ : 0; }
    // An owned block must come from new[]: the dump frees it with delete[].
    virtual void attach(void* data, std::size_t size, bool owns);
    virtual bool copyFrom(const void* data, std::size_t size);
    virtual bool allocate(std::size_t size, bool owns);
    // Frees the data when owned. (Named apart from the reference count's release.)
    virtual void releaseData();
    // Unchecked copies: callers keep offset + count within the size.
    virtual std::size_t readAt(std::size_t offset, void* target, std::size_t count) const;
    virtual std::size_t writeAt(std::size_t offset, const void* source, std::size_t count);

private:
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    bool owns_ = false;
};
