#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <streambuf>

#include <zlib.h>

namespace Zq::Application::Graphics {

// Decompresses one gzip member read from another stream, 4096 bytes at a time.
// A damaged or cut stream ends the read where it broke: what was decompressed
// up to there stays readable, nothing is thrown.
class GzipStreamBuf : public std::streambuf {
public:
    explicit GzipStreamBuf(std::istream& source);
    ~GzipStreamBuf() override;
    GzipStreamBuf(const GzipStreamBuf&) = delete;
    GzipStreamBuf& operator=(const GzipStreamBuf&) = delete;

    // The most bytes a deflate stream can expand to from `compressed` bytes
    // (deflate's best case is about 1032 to 1), so a header's size claim can be
    // checked without decompressing first.
    static std::uint64_t maxExpansion(std::uint64_t compressed) { return compressed * 1032 + 1024; }

protected:
    int_type underflow() override;

private:
    static constexpr std::size_t bufferSize = 4096;

    std::istream& source_;
    z_stream zs_{};
    bool open_ = false;
    bool finished_ = false;
    std::array<char, bufferSize> in_{};
    std::array<char, bufferSize> out_{};
};

} // namespace Zq::Application::Graphics
