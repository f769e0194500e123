#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

#include "editor/graphics/Bitmap.h"

namespace Zq::Application::Graphics {

// Reads an uncompressed true-colour TGA (24 or 32 bits) into `bitmap`, or
// leaves it empty. `available` bounds the bytes the stream can still supply:
// an image whose pixels would not fit is refused before anything is allocated.
// Without it the stream is measured when it can seek. Rows a short stream
// lacks stay zero.
void readTga(std::istream& stream, Bitmap& bitmap, std::uint64_t available = UINT64_MAX);

// A file; a path ending in 'z' holds a gzip-compressed TGA.
Bitmap readImageFromFile(const std::string& path);

// A resource pack entry of `byteCount` bytes starting at the stream's position:
// gzip when it starts 1F 8B 08 08 (a gzip member carrying its file name), a
// plain TGA otherwise.
Bitmap readImageFromStream(std::istream& stream, std::size_t byteCount);

} // namespace Zq::Application::Graphics
