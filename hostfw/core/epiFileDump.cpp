#include "hostfw/core/epiFileDump.h"

#include "hostfw/core/epiFile.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/res/epiAtomsFile.h"

#include <cstring>
#include <new>

epiFileDump::~epiFileDump()
{
    releaseData();
}

bool epiFileDump::writeAtoms(epiAtomsFile& atoms)
{
    return atoms.writeUInt32(epiCode("size"), static_cast<std::uint32_t>(size_)) &&
           atoms.writeAtom(epiCode("data"), data_, static_cast<std::uint32_t>(size_));
}

bool epiFileDump::save(const epiPath& path, const void* bytes, std::size_t size, int, int)
{
    if (!bytes) {
        bytes = data_;
        size = getSize();
    }
    if (!bytes || size == 0)
        return false;
    return epiSaveAtomically(path.toNative(), bytes, size);
}

bool epiFileDump::readAtoms(epiAtomsFile& atoms)
{
    releaseData();
    std::uint32_t size = 0;
    if (!atoms.readUInt32(epiCode("size"), size))
        return false;
    // A damaged size must not ask for more memory than the file holds.
    if (size > atoms.bytesLeft())
        return false;
    if (!allocate(size, true))
        return false;
    if (!atoms.readAtom(epiCode("data"), data_, size)) {
        releaseData();
        return false;
    }
    return true;
}

bool epiFileDump::load(const epiPath& path)
{
    releaseData();
    epiFile file;
    if (!file.open(path, epiFile::kRead))
        return false;
    const auto size = static_cast<std::size_t>(file.getSize());
    if (!allocate(size, true))
        return false;
    if (size > 0 && !file.read(data_, size)) {
        releaseData();
        return false;
    }
    return true;
}

void epiFileDump::attach(void* data, std::size_t size, bool owns)
{
    releaseData();
    data_ = static_cast<unsigned char*>(data);
    size_ = size;
    owns_ = owns;
}

bool epiFileDump::copyFrom(const void* data, std::size_t size)
{
    releaseData();
    if (!data)
        return false;
    if (!allocate(size, true))
        return false;
    if (size > 0)
        std::memcpy(data_, data, size);
    return true;
}

bool epiFileDump::allocate(std::size_t size, bool)
{
    releaseData();
    // One byte at least, so an empty file still has a block to point at.
    data_ = new (std::nothrow) unsigned char[size > 0 ? size : 1];
    if (!data_)
        return false;
    // What is allocated here is freed here, whatever the flag says: a block
    // nobody owns would leak.
    size_ = size;
    owns_ = true;
    return true;
}

void epiFileDump::releaseData()
{
    if (owns_)
        delete[] data_;
    data_ = nullptr;
    size_ = 0;
    owns_ = false;
}

std::size_t epiFileDump::readAt(std::size_t offset, void* target, std::size_t count) const
{
    if (count > 0)
        std::memcpy(target, data_ + offset, count);
    return count;
}

std::size_t epiFileDump::writeAt(std::size_t offset, const void* source, std::size_t count)
{
    if (count > 0)
        std::memcpy(data_ + offset, source, count);
    return count;
}
