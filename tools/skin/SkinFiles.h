#pragma once

// The file formats the editor reads, written by the skin tools: TGA images,
// gzip members carrying their file name, and resource packs.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skin {

// An image as drawn: premultiplied 0xAARRGGBB pixels, rows top to bottom.
struct Art {
    std::string name; // without extension
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // Frames stacked top to bottom in a film strip; 1 for a still image.
    int frames = 1;
    // Every pixel fully opaque: stored in 24 bits, else in 32.
    bool opaque() const;
};

// Straight (un-premultiplied) alpha of one premultiplied pixel, rounded.
std::uint32_t unpremultiply(std::uint32_t pixel);

// An uncompressed true-colour TGA (type 2), top row first: 24 bits for an
// opaque image, 32 bits in straight alpha otherwise.
std::string encodeTga(const Art& art);

// One gzip member of `data` whose header names the file (flags 08) and holds
// mtime 0, so equal input always gives equal bytes.
std::string gzipMember(const std::string& fileName, const std::string& data);

// Images whose TGA is larger than this are stored gzip-compressed as ".tgz".
inline constexpr std::size_t kCompressAbove = 8192;

// The resource file of an image: (file name, bytes).
std::pair<std::string, std::string> imageFile(const Art& art);

// A resource pack: "RUZOZO", version 1, the entry count, the directory sorted
// by name, then the entries' bytes in the same order, stored as given.
std::string packBytes(std::vector<std::pair<std::string, std::string>> entries);

} // namespace skin
