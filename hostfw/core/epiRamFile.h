#pragma once

#include "hostfw/core/epiFile.h"

// The file interface over a block of memory. A block the memory file
// allocated (createBlock, or growth) is its own: it grows it and frees it in
// freeData. A block a caller attached stays the caller's: it is never
// reallocated or freed here; a write that needs more room copies it into a
// block of the memory file's own first, and a read-only block is copied
// before any write.
class epiRamFile : public epiFile {
public:
    static constexpr std::size_t kStep = 100000;

    epiRamFile() = default;
    ~epiRamFile() override;

    bool open(const epiPath&, int, int = 0, int = 0) override { return false; }
    // Forgets the block without freeing it.
    bool close() override;
    bool read(void* buffer, std::size_t count, std::size_t* countOut = nullptr) override;
    bool write(const void* buffer, std::size_t count, std::size_t* countOut = nullptr) override;
    // Origin 1 adds to the position, origin 2 counts back from the capacity
    // with a positive distance, any other sets it; outside 0..capacity the
    // position becomes 0 and the result is false.
    bool seek(std::int64_t distance, int origin) override;
    std::int64_t tell() const override { return static_cast<std::int64_t>(position_); }
    std::int64_t getSize() const override { return static_cast<std::int64_t>(capacity_); }
    bool isOpen() const override { return data_ != nullptr; }

    virtual bool attachBlock(void* data, std::size_t size);
    virtual bool attachBlock(const void* data, std::size_t size);
    virtual bool createBlock();
    // The block, and the position as the length written.
    virtual void getData(void** data, std::size_t* length) const;
    // Frees the block when the memory file allocated it; an attached block is
    // only forgotten.
    virtual void freeData();

    bool ownsBlock() const { return owned_; }

private:
    // Makes the block the memory file's own with room for at least size bytes.
    bool makeOwned(std::size_t size);

    unsigned char* data_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t position_ = 0;
    bool owned_ = false;
    bool readOnly_ = false;
};
