#include "hostfw/core/epiRamFile.h"

#include <cstdlib>
#include <cstring>

epiRamFile::~epiRamFile()
{
    // A block is freed only by freeData, as with any file the destructor
    // merely closes; an owned block left here would leak, so it goes too.
    if (owned_)
        std::free(data_);
    data_ = nullptr;
}

bool epiRamFile::close()
{
    if (owned_)
        return true; // the owned block stays until freeData
    data_ = nullptr;
    capacity_ = 0;
    position_ = 0;
    readOnly_ = false;
    return true;
}

bool epiRamFile::read(void* buffer, std::size_t count, std::size_t* countOut)
{
    if (!data_)
        return false;
    const std::size_t available = capacity_ - position_;
    if (count > available)
        count = available;
    if (count > 0 && buffer)
        std::memcpy(buffer, data_ + position_, count);
    if (countOut)
        *countOut = count;
    position_ += count;
    return true;
}

bool epiRamFile::makeOwned(std::size_t size)
{
    if (owned_ && size <= capacity_)
        return true;
    if (owned_) {
        void* grown = std::realloc(data_, size);
        if (!grown)
            return false;
        data_ = static_cast<unsigned char*>(grown);
        capacity_ = size;
        return true;
    }
    auto* copy = static_cast<unsigned char*>(std::malloc(size));
    if (!copy)
        return false;
    if (data_ && capacity_ > 0)
        std::memcpy(copy, data_, capacity_ < size ? capacity_ : size);
    data_ = copy;
    capacity_ = size;
    owned_ = true;
    readOnly_ = false;
    return true;
}

bool epiRamFile::write(const void* buffer, std::size_t count, std::size_t* countOut)
{
    if (countOut)
        *countOut = 0;
    if (position_ + count > capacity_) {
        if (!makeOwned(position_ + count + kStep))
            return false;
    } else if (readOnly_ && count > 0) {
        if (!makeOwned(capacity_))
            return false;
    }
    if (count > 0 && buffer)
        std::memcpy(data_ + position_, buffer, count);
    position_ += count;
    if (countOut)
        *countOut = count;
    return true;
}

bool epiRamFile::seek(std::int64_t distance, int origin)
{
    std::int64_t target = distance;
    if (origin == 1)
        target = static_cast<std::int64_t>(position_) + distance;
    else if (origin == 2)
        target = static_cast<std::int64_t>(capacity_) - distance;
    if (target < 0 || target > static_cast<std::int64_t>(capacity_)) {
        position_ = 0;
        return false;
    }
    position_ = static_cast<std::size_t>(target);
    return true;
}

bool epiRamFile::attachBlock(void* data, std::size_t size)
{
    if (owned_)
        freeData();
    data_ = static_cast<unsigned char*>(data);
    capacity_ = data ? size : 0;
    position_ = 0;
    owned_ = false;
    readOnly_ = false;
    return data != nullptr;
}

bool epiRamFile::attachBlock(const void* data, std::size_t size)
{
    const bool ok = attachBlock(const_cast<void*>(data), size);
    readOnly_ = ok;
    return ok;
}

bool epiRamFile::createBlock()
{
    if (owned_)
        freeData();
    data_ = static_cast<unsigned char*>(std::malloc(kStep));
    capacity_ = data_ ? kStep : 0;
    position_ = 0;
    owned_ = data_ != nullptr;
    readOnly_ = false;
    return data_ != nullptr;
}

void epiRamFile::getData(void** data, std::size_t* length) const
{
    if (data)
        *data = data_;
    if (length)
        *length = position_;
}

void epiRamFile::freeData()
{
    if (owned_)
        std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    position_ = 0;
    owned_ = false;
    readOnly_ = false;
}
