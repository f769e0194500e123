#pragma once

#include <cstddef>
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

} // namespace Zq::Application::Graphics
