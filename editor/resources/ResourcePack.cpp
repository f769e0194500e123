#include "editor/resources/ResourcePack.h"

#include <algorithm>
#include <cstring>

namespace Zq::Application::Res {

void EntryStreamBuf::reset(std::uint64_t begin, std::uint64_t size)
{
    begin_ = begin;
    size_ = size;
    filled_ = 0;
    setg(buffer_, buffer_, buffer_);
}

EntryStreamBuf::int_type EntryStreamBuf::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (filled_ >= size_)
        return traits_type::eof();
    const auto wanted =
        static_cast<std::streamsize>(std::min<std::uint64_t>(bufferSize, size_ - filled_));
    const auto target = static_cast<std::streamoff>(begin_ + filled_);
    if (file_.pubseekpos(target, std::ios_base::in) != std::streampos(target))
        return traits_type::eof();
    const std::streamsize got = file_.sgetn(buffer_, wanted);
    if (got <= 0)
        return traits_type::eof();
    filled_ += static_cast<std::uint64_t>(got);
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
}

std::streamsize EntryStreamBuf::showmanyc()
{
    const std::uint64_t left = size_ - filled_ + static_cast<std::uint64_t>(egptr() - gptr());
    return left == 0 ? -1 : static_cast<std::streamsize>(left);
}

EntryStreamBuf::pos_type EntryStreamBuf::seekoff(off_type offset, std::ios_base::seekdir dir,
                                                 std::ios_base::openmode which)
{
    if (!(which & std::ios_base::in))
        return pos_type(off_type(-1));
    const auto current = static_cast<off_type>(filled_) - (egptr() - gptr());
    off_type base = 0;
    if (dir == std::ios_base::cur)
        base = current;
    else if (dir == std::ios_base::end)
        base = static_cast<off_type>(size_);
    const off_type target = base + offset;
    if (target < 0 || target > static_cast<off_type>(size_))
        return pos_type(off_type(-1));
    filled_ = static_cast<std::uint64_t>(target);
    setg(buffer_, buffer_, buffer_);
    return pos_type(target);
}

EntryStreamBuf::pos_type EntryStreamBuf::seekpos(pos_type position, std::ios_base::openmode which)
{
    return seekoff(off_type(position), std::ios_base::beg, which);
}

namespace {

bool readU32(std::istream& in, std::uint32_t& value)
{
    unsigned char bytes[4];
    if (!in.read(reinterpret_cast<char*>(bytes), 4))
        return false;
    value = bytes[0] | (std::uint32_t(bytes[1]) << 8) | (std::uint32_t(bytes[2]) << 16) |
            (std::uint32_t(bytes[3]) << 24);
    return true;
}

} // namespace

ResourcePack::ResourcePack(const std::string& path)
    : file_(path, std::ios::binary), entryBuffer_(*file_.rdbuf()), entryStream_(&entryBuffer_)
{
    entryStream_.setstate(std::ios::eofbit);
    if (!file_)
        return;
    file_.seekg(0, std::ios::end);
    const auto end = file_.tellg();
    file_.seekg(0);
    if (end < 0 || !file_)
        return;
    const auto fileLength = static_cast<std::uint64_t>(end);

    char magic[6];
    std::uint32_t version = 0;
    std::uint32_t count = 0;
    if (!file_.read(magic, sizeof magic) || !readU32(file_, version) || !readU32(file_, count))
        return;
    if (std::memcmp(magic, "RUZOZO", sizeof magic) != 0 || version != 1)
        return;
    readDirectory(count, fileLength);
    valid_ = true;
    // A directory cut short fails the stream; the entries before the cut stay
    // readable, since nothing reads through a failed stream afterwards.
    file_.clear();
}

void ResourcePack::readDirectory(std::uint32_t count, std::uint64_t fileLength)
{
    std::string name;
    for (std::uint32_t i = 0; i < count; ++i) {
        // The directory lies inside the file, so a name is never longer than it.
        if (!std::getline(file_, name, '\0') || name.empty() || file_.eof())
            return;
        Entry entry{};
        if (!readU32(file_, entry.offset) || !readU32(file_, entry.size))
            return;
        // An entry reaching past the end of the file is damaged: reading it
        // would give a cut image or layout, so it is not offered at all.
        if (std::uint64_t(entry.offset) + entry.size > fileLength) {
            directory_.erase(name);
            continue;
        }
        directory_[name] = entry;
    }
}

bool ResourcePack::open(const std::string& name, std::istream*& stream, std::size_t& size)
{
    const auto found = directory_.find(name);
    if (found == directory_.end())
        return false;
    entryBuffer_.reset(found->second.offset, found->second.size);
    // Whatever the last reader left failed or at its end does not carry over.
    entryStream_.clear();
    stream = &entryStream_;
    size = found->second.size;
    return true;
}

} // namespace Zq::Application::Res
