#pragma once

#include "hostfw/core/epiObject.h"

#include <cstddef>
#include <cstdint>
#include <string>

class epiPath;

// A native file opened by path, over POSIX calls.
class epiFile : public epiObject {
public:
    // Open modes: without kWrite the file is read and must exist; with it the
    // file is read and written, created unless kMustExist is set, and deleted
    // first with kDeleteFirst.
    static constexpr int kRead = 0x1;
    static constexpr int kWrite = 0x2;
    static constexpr int kDeleteFirst = 0x40;
    static constexpr int kMustExist = 0x80;

    epiFile() = default;
    epiFile(const epiFile&) = delete;
    epiFile& operator=(const epiFile&) = delete;
    ~epiFile() override;

    virtual bool open(const epiPath& path, int mode, int = 0, int = 0);
    // A file written through this handle ends where the writing ended; one
    // only read keeps its length. False when not open.
    virtual bool close();
    // With no count out, success means every byte was transferred; with one,
    // the count is stored and success means at least one byte.
    virtual bool read(void* buffer, std::size_t count, std::size_t* countOut = nullptr);
    virtual bool write(const void* buffer, std::size_t count, std::size_t* countOut = nullptr);
    // Origin 0 begin, 1 current, 2 end; any other value counts as begin.
    virtual bool seek(std::int64_t distance, int origin);
    virtual std::int64_t tell() const;
    virtual std::int64_t getSize() const;
    virtual bool isOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    bool written_ = false;
};

// Writes count bytes to a descriptor, retrying short writes; false when the
// system (or the test seam below) refuses a byte.
bool epiWriteAll(int fd, const void* bytes, std::size_t count);

// Replaces the file at native path with the bytes: they go to a temporary
// file in the same folder that is then renamed over the target, so a failed
// write (a full disk) leaves the old file as it was and no temporary behind.
bool epiSaveAtomically(const std::string& nativePath, const void* bytes, std::size_t size);

// Test seam: after this many further bytes every file write fails, as on a
// full disk; a negative budget (the default) removes the limit.
void epiSetWriteBudgetForTesting(std::int64_t bytes);
