#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <istream>
#include <map>
#include <streambuf>
#include <string>

namespace Zq::Application::Res {

// A read-only window on one entry of a pack file: positions run from 0 at the
// entry's first byte to its size, and reading stops at the entry's end, so a
// reader that trusts a damaged header never runs into the next entry. It keeps
// no error state of its own: every refill seeks the file again.
class EntryStreamBuf : public std::streambuf {
public:
    explicit EntryStreamBuf(std::streambuf& file) : file_(file) {}
    void reset(std::uint64_t begin, std::uint64_t size);

protected:
    int_type underflow() override;
    std::streamsize showmanyc() override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir,
                     std::ios_base::openmode which = std::ios_base::in) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which = std::ios_base::in) override;

private:
    static constexpr std::size_t bufferSize = 4096;

    std::streambuf& file_;
    std::uint64_t begin_ = 0;
    std::uint64_t size_ = 0;
    // Entry position just past the buffered bytes.
    std::uint64_t filled_ = 0;
    char buffer_[bufferSize];
};

// A pack file: the magic "RUZOZO", version 1, an entry count, a directory of
// zero-terminated names each with a 32-bit offset and size, then the entries'
// bytes. The directory is read once; `open` hands out one stream limited to the
// named entry. Not thread-safe: the provider's lock serialises its users, and a
// caller finishes one entry before opening the next (there is one stream).
class ResourcePack {
public:
    // Never fails visibly: an unusable file gives a pack without entries.
    explicit ResourcePack(const std::string& path);
    ResourcePack(const ResourcePack&) = delete;
    ResourcePack& operator=(const ResourcePack&) = delete;

    // False, outputs untouched, for a name the directory lacks (names match byte
    // for byte). Otherwise `stream` is the pack's entry stream, positioned at
    // the entry's first byte with its state cleared, and `size` its length.
    bool open(const std::string& name, std::istream*& stream, std::size_t& size);

    // The header matched and the directory was read (perhaps cut short).
    bool isValid() const noexcept { return valid_; }
    std::size_t entryCount() const noexcept { return directory_.size(); }

private:
    struct Entry {
        std::uint32_t offset;
        std::uint32_t size;
    };

    void readDirectory(std::uint32_t count, std::uint64_t fileLength);

    std::ifstream file_;
    EntryStreamBuf entryBuffer_;
    std::istream entryStream_;
    bool valid_ = false;
    std::map<std::string, Entry> directory_;
};

} // namespace Zq::Application::Res
