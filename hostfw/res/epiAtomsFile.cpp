#include "hostfw/res/epiAtomsFile.h"

#include "hostfw/core/epiFile.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/core/epiText.h"

#include <cstring>
#include <vector>

namespace {

constexpr epiFourCC kMagic = epiCode("atms");

std::uint32_t decode(const unsigned char* b, bool bigEndian)
{
    if (bigEndian)
        return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) |
               (std::uint32_t(b[2]) << 8) | std::uint32_t(b[3]);
    return (std::uint32_t(b[3]) << 24) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[1]) << 8) |
           std::uint32_t(b[0]);
}

void encodeLittle(unsigned char* b, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<unsigned char>(value >> (8 * i));
}

// A memory file reads what it has and calls that success: the atoms need
// every byte they ask for.
bool readExactly(epiFile& file, void* target, std::size_t count)
{
    std::size_t got = 0;
    if (count == 0)
        return true;
    return file.read(target, count, &got) && got == count;
}

} // namespace

epiAtomsFile::~epiAtomsFile()
{
    close();
    if (ownsFile_)
        delete file_;
}

bool epiAtomsFile::attachFile(epiFile* file, int mode)
{
    if (ownsFile_)
        delete file_;
    file_ = file;
    ownsFile_ = false;
    if (!file_)
        return false;
    return handleHeader(mode);
}

bool epiAtomsFile::open(const epiPath& path, int mode, int a, int b)
{
    if (!file_) {
        file_ = new epiFile;
        ownsFile_ = true;
    }
    if (file_->isOpen())
        return false;
    if (!file_->open(path, mode, a, b))
        return false;
    return handleHeader(mode);
}

bool epiAtomsFile::close()
{
    if (!file_)
        return false;
    return file_->close();
}

bool epiAtomsFile::handleHeader(int mode)
{
    if (mode & epiFile::kRead) {
        unsigned char header[12];
        bool ok = readExactly(*file_, header, sizeof header);
        if (ok) {
            swapped_ = decode(header, false) != kMagic;
            ok = decode(header, swapped_) == kMagic && decode(header + 8, swapped_) == 1 &&
                 decode(header + 4, swapped_) == 0;
        }
        if (!ok)
            file_->close();
        return ok;
    }
    swapped_ = false;
    unsigned char header[12];
    encodeLittle(header, kMagic);
    encodeLittle(header + 4, 0);
    encodeLittle(header + 8, 1);
    return file_->write(header, sizeof header);
}

std::uint64_t epiAtomsFile::bytesLeft() const
{
    if (!file_ || !file_->isOpen())
        return 0;
    const std::int64_t size = file_->getSize(), position = file_->tell();
    return size > position ? static_cast<std::uint64_t>(size - position) : 0;
}

bool epiAtomsFile::readHeader(std::uint32_t& tag, std::uint32_t& length)
{
    unsigned char header[12];
    if (!file_ || !readExactly(*file_, header, sizeof header))
        return false;
    tag = decode(header, swapped_);
    length = decode(header + 4, swapped_);
    return true;
}

bool epiAtomsFile::writeAtom(epiFourCC tag, const void* bytes, std::uint32_t length)
{
    if (!file_ || (!bytes && length > 0))
        return false;
    unsigned char header[12];
    encodeLittle(header, tag);
    encodeLittle(header + 4, length);
    encodeLittle(header + 8, 0);
    return file_->write(header, sizeof header) && file_->write(bytes, length);
}

bool epiAtomsFile::writeUInt32(epiFourCC tag, std::uint32_t value)
{
    unsigned char bytes[4];
    encodeLittle(bytes, value);
    return writeAtom(tag, bytes, 4);
}

bool epiAtomsFile::writeByte(epiFourCC tag, std::uint8_t value)
{
    return writeAtom(tag, &value, 1);
}

bool epiAtomsFile::writeText(epiFourCC tag, const epiText& text)
{
    return writeAtom(tag, text.getCStr(), static_cast<std::uint32_t>(text.getLength()));
}

bool epiAtomsFile::readAtom(epiFourCC tag, void* target, std::uint32_t size)
{
    if (!file_ || !file_->isOpen())
        return false;
    const std::int64_t start = file_->tell();
    std::uint32_t storedTag = 0, length = 0;
    bool ok = readHeader(storedTag, length) && storedTag == tag && length <= bytesLeft();
    if (ok) {
        auto* bytes = static_cast<unsigned char*>(target);
        const std::uint32_t taken = length < size ? length : size;
        ok = readExactly(*file_, bytes, taken);
        if (ok && taken < size)
            std::memset(bytes + taken, 0, size - taken);
        if (ok && length > size)
            ok = file_->seek(length - size, 1);
    }
    if (!ok) {
        if (clearOnFailure_ && target && size > 0)
            std::memset(target, 0, size);
        file_->seek(start, 0);
    }
    return ok;
}

bool epiAtomsFile::readUInt32(epiFourCC tag, std::uint32_t& target)
{
    unsigned char bytes[4];
    if (!readAtom(tag, bytes, 4)) {
        if (clearOnFailure_)
            target = 0;
        return false;
    }
    target = decode(bytes, swapped_);
    return true;
}

bool epiAtomsFile::readByte(epiFourCC tag, std::uint8_t& target)
{
    return readAtom(tag, &target, 1);
}

bool epiAtomsFile::readText(epiFourCC tag, epiText& text)
{
    std::uint32_t length = 0;
    if (!peekAtomLength(tag, length))
        return false;
    // The text is sized from the stored length only once the file is known
    // to hold that many bytes.
    const std::uint64_t available = bytesLeft();
    if (available < 12 || length > available - 12) {
        if (clearOnFailure_)
            text.clear();
        return false;
    }
    std::string& chars = text.storage();
    chars.assign(length, '\0');
    if (!readAtom(tag, chars.data(), length)) {
        if (clearOnFailure_)
            text.clear();
        return false;
    }
    return true;
}

bool epiAtomsFile::peekAtomLength(epiFourCC tag, std::uint32_t& length)
{
    length = 0;
    if (!file_ || !file_->isOpen())
        return false;
    const std::int64_t start = file_->tell();
    std::uint32_t storedTag = 0, storedLength = 0;
    const bool ok = readHeader(storedTag, storedLength) && storedTag == tag;
    file_->seek(start, 0);
    if (ok)
        length = storedLength;
    return ok;
}

bool epiAtomsFile::skipAtom(epiFourCC tag, std::uint32_t& length, std::int64_t& dataPosition)
{
    length = 0;
    dataPosition = 0;
    if (!file_ || !file_->isOpen())
        return false;
    const std::int64_t start = file_->tell();
    std::uint32_t storedTag = 0, storedLength = 0;
    if (readHeader(storedTag, storedLength) && storedTag == tag && storedLength <= bytesLeft()) {
        dataPosition = file_->tell();
        if (file_->seek(dataPosition + storedLength, 0)) {
            length = storedLength;
            return true;
        }
    }
    dataPosition = 0;
    file_->seek(start, 0);
    return false;
}

bool epiAtomsFile::readRaw(std::int64_t position, void* target, std::size_t count)
{
    return file_ && file_->isOpen() && file_->seek(position, 0) &&
           readExactly(*file_, target, count);
}
