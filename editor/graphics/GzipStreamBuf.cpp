#include "editor/graphics/GzipStreamBuf.h"

namespace Zq::Application::Graphics {

GzipStreamBuf::GzipStreamBuf(std::istream& source) : source_(source)
{
    // 15-bit window, +16: a gzip wrapper rather than a bare zlib stream.
    open_ = inflateInit2(&zs_, 15 + 16) == Z_OK;
    setg(out_.data(), out_.data(), out_.data());
}

GzipStreamBuf::~GzipStreamBuf()
{
    if (open_)
        inflateEnd(&zs_);
}

GzipStreamBuf::int_type GzipStreamBuf::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (!open_ || finished_)
        return traits_type::eof();
    zs_.next_out = reinterpret_cast<Bytef*>(out_.data());
    zs_.avail_out = static_cast<uInt>(out_.size());
    while (zs_.avail_out == out_.size()) {
        if (zs_.avail_in == 0) {
            source_.read(in_.data(), static_cast<std::streamsize>(in_.size()));
            const auto got = source_.gcount();
            if (got <= 0) {
                finished_ = true; // cut short: keep what came out
                break;
            }
            zs_.next_in = reinterpret_cast<Bytef*>(in_.data());
            zs_.avail_in = static_cast<uInt>(got);
        }
        const int result = inflate(&zs_, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            finished_ = true;
            break;
        }
        if (result != Z_OK && !(result == Z_BUF_ERROR && zs_.avail_in == 0)) {
            finished_ = true; // damaged data: stop at the last good byte
            break;
        }
    }
    const auto produced = out_.size() - zs_.avail_out;
    setg(out_.data(), out_.data(), out_.data() + produced);
    if (produced == 0)
        return traits_type::eof();
    return traits_type::to_int_type(*gptr());
}

} // namespace Zq::Application::Graphics
