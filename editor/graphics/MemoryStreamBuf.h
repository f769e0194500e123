#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>

namespace Zq::Application::Graphics {

// A read-only stream buffer over a block of memory it does not own, seekable,
// so a pack entry read into memory can be decoded like a file.
class MemoryStreamBuf : public std::streambuf {
public:
    MemoryStreamBuf(const char* data, std::size_t size);

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir,
                     std::ios_base::openmode which = std::ios_base::in) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which = std::ios_base::in) override;
};

// The bytes left between the stream's position and its end; UINT64_MAX when
// the stream cannot tell (it does not seek). Readers bound what they allocate
// for a size read from the data by it.
std::uint64_t remainingBytes(std::istream& stream);

} // namespace Zq::Application::Graphics
