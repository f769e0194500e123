#pragma once

// Builds TGA files and gzip members in memory for the image and font tests.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <zlib.h>

namespace test::tga {

struct Header {
    std::uint8_t idLength = 0;
    std::uint8_t mapType = 0;
    std::uint8_t imageType = 2;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntryBits = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t bits = 32;
    std::uint8_t descriptor = 0x20;
};

inline void put16(std::string& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

inline std::string header(const Header& h)
{
    std::string out;
    out.push_back(static_cast<char>(h.idLength));
    out.push_back(static_cast<char>(h.mapType));
    out.push_back(static_cast<char>(h.imageType));
    put16(out, 0);
    put16(out, h.mapLength);
    out.push_back(static_cast<char>(h.mapEntryBits));
    put16(out, 0);
    put16(out, 0);
    put16(out, h.width);
    put16(out, h.height);
    out.push_back(static_cast<char>(h.bits));
    out.push_back(static_cast<char>(h.descriptor));
    return out;
}

// A whole file: header, ID and colour-map bytes as given, then the pixels
// (0xAARRGGBB, rows top to bottom) stored in the header's bit depth and row order.
inline std::string file(Header h, const std::vector<std::uint32_t>& pixels,
                        const std::string& between = "")
{
    std::string out = header(h) + between;
    const bool topFirst = (h.descriptor & 0x20) != 0;
    for (int stored = 0; stored < h.height; ++stored) {
        const int y = topFirst ? stored : h.height - 1 - stored;
        for (int x = 0; x < h.width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * h.width + x];
            for (int byte = 0; byte < h.bits / 8; ++byte)
                out.push_back(static_cast<char>((p >> (8 * byte)) & 0xFF));
        }
    }
    return out;
}

// A gzip member; with a name, the header carries it (flags 08), as the
// resource pack's compressed entries do.
inline std::string gzip(const std::string& data, const char* name = nullptr)
{
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    gz_header gz{};
    gz.name = reinterpret_cast<Bytef*>(const_cast<char*>(name));
    gz.os = 3;
    deflateSetHeader(&zs, &gz);
    std::string out(deflateBound(&zs, data.size()) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

inline void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace test::tga
