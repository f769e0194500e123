#include "editor/graphics/MemoryStreamBuf.h"

namespace Zq::Application::Graphics {

MemoryStreamBuf::MemoryStreamBuf(const char* data, std::size_t size)
{
    // The get area never writes; the cast only satisfies streambuf's signature.
    char* begin = const_cast<char*>(data);
    setg(begin, begin, begin + size);
}

MemoryStreamBuf::pos_type MemoryStreamBuf::seekoff(off_type offset, std::ios_base::seekdir dir,
                                                   std::ios_base::openmode which)
{
    if (!(which & std::ios_base::in))
        return pos_type(off_type(-1));
    off_type base = 0;
    if (dir == std::ios_base::cur)
        base = gptr() - eback();
    else if (dir == std::ios_base::end)
        base = egptr() - eback();
    const off_type target = base + offset;
    if (target < 0 || target > egptr() - eback())
        return pos_type(off_type(-1));
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
}

MemoryStreamBuf::pos_type MemoryStreamBuf::seekpos(pos_type position, std::ios_base::openmode which)
{
    return seekoff(off_type(position), std::ios_base::beg, which);
}

std::uint64_t remainingBytes(std::istream& stream)
{
    const auto here = stream.tellg();
    if (here < 0)
        return UINT64_MAX;
    stream.seekg(0, std::ios::end);
    const auto end = stream.tellg();
    stream.seekg(here);
    if (end < here)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(end - here);
}

} // namespace Zq::Application::Graphics
