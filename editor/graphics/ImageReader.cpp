#include "editor/graphics/ImageReader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "editor/graphics/GzipStreamBuf.h"
#include "editor/graphics/MemoryStreamBuf.h"

namespace Zq::Application::Graphics {

namespace {

constexpr std::size_t headerSize = 18;

unsigned le16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

bool skip(std::istream& stream, std::uint64_t count)
{
    char scratch[512];
    while (count > 0) {
        const auto chunk =
            static_cast<std::streamsize>(std::min<std::uint64_t>(count, sizeof scratch));
        stream.read(scratch, chunk);
        if (stream.gcount() != chunk)
            return false;
        count -= static_cast<std::uint64_t>(chunk);
    }
    return true;
}

} // namespace

void readTga(std::istream& stream, Bitmap& bitmap, std::uint64_t available)
{
    bitmap.clear();
    available = std::min(available, remainingBytes(stream));

    std::array<unsigned char, headerSize> header{};
    stream.read(reinterpret_cast<char*>(header.data()), headerSize);
    if (static_cast<std::size_t>(stream.gcount()) != headerSize)
        return;
    const unsigned idLength = header[0];
    const unsigned mapType = header[1];
    const unsigned imageType = header[2];
    const unsigned mapLength = le16(&header[5]);
    const unsigned mapEntryBits = header[7];
    const unsigned width = le16(&header[12]);
    const unsigned height = le16(&header[14]);
    const unsigned bits = header[16];
    const bool topFirst = (header[17] & 0x20) != 0;
    if (imageType != 2 || (bits != 24 && bits != 32) || mapType > 1)
        return;

    const std::uint64_t skipped =
        idLength + static_cast<std::uint64_t>((mapEntryBits + 1) >> 3) * mapLength;
    const unsigned bytesPerPixel = bits == 32 ? 4 : 3;
    // In 64 bits: a 16-bit header can claim 65535 x 65535 pixels.
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(width) * height * bytesPerPixel;
    if (available != UINT64_MAX && headerSize + skipped + pixelBytes > available)
        return;
    if (!skip(stream, skipped))
        return;
    if (!bitmap.allocate(static_cast<int>(width), static_cast<int>(height)))
        return;

    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    std::vector<unsigned char> row;
    if (bytesPerPixel == 3) {
        try {
            row.resize(rowBytes);
        } catch (const std::bad_alloc&) {
            bitmap.clear();
            return;
        }
    }
    for (unsigned stored = 0; stored < height; ++stored) {
        const unsigned target = topFirst ? stored : height - 1 - stored;
        std::uint32_t* out = bitmap.pixels.get() + static_cast<std::size_t>(target) * width;
        if (bytesPerPixel == 4) {
            // Blue, green, red, alpha in the file is 0xAARRGGBB in memory.
            stream.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(rowBytes));
            if (static_cast<std::size_t>(stream.gcount()) != rowBytes)
                break; // the part read stays; the rest of the image is zero
        } else {
            stream.read(reinterpret_cast<char*>(row.data()),
                        static_cast<std::streamsize>(rowBytes));
            const auto got = static_cast<std::size_t>(stream.gcount()) / 3;
            for (std::size_t x = 0; x < got; ++x) {
                const unsigned char* p = &row[x * 3];
                out[x] =
                    0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
            }
            if (got != width)
                break;
        }
    }
    bitmap.hasAlpha = bits == 32;
}

Bitmap readImageFromFile(const std::string& path)
{
    Bitmap bitmap;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return bitmap;
    if (!path.empty() && path.back() == 'z') {
        const std::uint64_t compressed = remainingBytes(file);
        GzipStreamBuf gzip(file);
        std::istream decompressed(&gzip);
        readTga(decompressed, bitmap,
                compressed == UINT64_MAX ? compressed : GzipStreamBuf::maxExpansion(compressed));
    } else {
        readTga(file, bitmap);
    }
    return bitmap;
}

Bitmap readImageFromStream(std::istream& stream, std::size_t byteCount)
{
    Bitmap bitmap;
    const auto start = stream.tellg();
    unsigned char magic[4] = {};
    stream.read(reinterpret_cast<char*>(magic), 4);
    const bool fourRead = stream.gcount() == 4;
    stream.clear();
    stream.seekg(start);
    const std::uint32_t tag =
        (std::uint32_t(magic[0]) << 24) | (magic[1] << 16) | (magic[2] << 8) | magic[3];
    if (fourRead && tag == 0x1F8B0808u) {
        const std::uint64_t size = std::min<std::uint64_t>(byteCount, remainingBytes(stream));
        std::unique_ptr<char[]> block;
        try {
            block.reset(new char[size]);
        } catch (const std::bad_alloc&) {
            return bitmap;
        }
        stream.read(block.get(), static_cast<std::streamsize>(size));
        const auto got = static_cast<std::size_t>(stream.gcount());
        MemoryStreamBuf memory(block.get(), got);
        std::istream compressed(&memory);
        GzipStreamBuf gzip(compressed);
        std::istream decompressed(&gzip);
        readTga(decompressed, bitmap, GzipStreamBuf::maxExpansion(got));
    } else {
        readTga(stream, bitmap, byteCount);
    }
    return bitmap;
}

} // namespace Zq::Application::Graphics
