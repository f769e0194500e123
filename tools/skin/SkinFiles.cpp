#include "SkinFiles.h"

#include <algorithm>
#include <stdexcept>

#include <zlib.h>

namespace skin {

bool Art::opaque() const
{
    return std::all_of(pixels.begin(), pixels.end(),
                       [](std::uint32_t p) { return (p >> 24) == 0xFF; });
}

std::uint32_t unpremultiply(std::uint32_t pixel)
{
    const std::uint32_t a = pixel >> 24;
    if (a == 0)
        return 0;
    if (a == 255)
        return pixel;
    auto channel = [&](int shift) {
        const std::uint32_t c = (pixel >> shift) & 0xFF;
        return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a) << shift;
    };
    return (a << 24) | channel(16) | channel(8) | channel(0);
}

namespace {

void put16(std::string& out, unsigned v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t v)
{
    for (int byte = 0; byte < 4; ++byte)
        out.push_back(static_cast<char>((v >> (8 * byte)) & 0xFF));
}

} // namespace

std::string encodeTga(const Art& art)
{
    if (art.width <= 0 || art.height <= 0 || art.width > 0xFFFF || art.height > 0xFFFF)
        throw std::invalid_argument("image size out of range: " + art.name);
    const bool opaque = art.opaque();
    std::string out;
    out.push_back(0); // no ID
    out.push_back(0); // no colour map
    out.push_back(2); // uncompressed true colour
    put16(out, 0);
    put16(out, 0);
    out.push_back(0);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<unsigned>(art.width));
    put16(out, static_cast<unsigned>(art.height));
    out.push_back(static_cast<char>(opaque ? 24 : 32));
    out.push_back(static_cast<char>(opaque ? 0x20 : 0x28)); // top row first; 8 alpha bits
    out.reserve(out.size() + art.pixels.size() * 4);
    for (std::uint32_t p : art.pixels) {
        const std::uint32_t s = unpremultiply(p);
        out.push_back(static_cast<char>(s & 0xFF));
        out.push_back(static_cast<char>((s >> 8) & 0xFF));
        out.push_back(static_cast<char>((s >> 16) & 0xFF));
        if (!opaque)
            out.push_back(static_cast<char>(s >> 24));
    }
    return out;
}

std::string gzipMember(const std::string& fileName, const std::string& data)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    gz_header header{};
    std::string name = fileName;
    header.name = reinterpret_cast<Bytef*>(name.data());
    header.time = 0;
    header.os = 3;
    deflateSetHeader(&zs, &header);
    std::string out(deflateBound(&zs, data.size()) + name.size() + 32, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate did not finish: " + fileName);
    return out;
}

std::pair<std::string, std::string> imageFile(const Art& art)
{
    std::string tga = encodeTga(art);
    if (tga.size() <= kCompressAbove)
        return {art.name + ".tga", std::move(tga)};
    return {art.name + ".tgz", gzipMember(art.name + ".tga", tga)};
}

std::string packBytes(std::vector<std::pair<std::string, std::string>> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out = "RUZOZO";
    put32(out, 1);
    put32(out, static_cast<std::uint32_t>(entries.size()));
    std::uint64_t offset = out.size();
    for (const auto& [name, data] : entries)
        offset += name.size() + 1 + 8;
    for (const auto& [name, data] : entries) {
        if (name.empty() || name.find('\0') != std::string::npos)
            throw std::invalid_argument("unusable entry name");
        if (offset + data.size() > 0xFFFFFFFFu)
            throw std::length_error("pack larger than 4 GB");
        out += name;
        out.push_back('\0');
        put32(out, static_cast<std::uint32_t>(offset));
        put32(out, static_cast<std::uint32_t>(data.size()));
        offset += data.size();
    }
    for (const auto& [name, data] : entries)
        out += data;
    return out;
}

} // namespace skin
