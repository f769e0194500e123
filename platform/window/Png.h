#pragma once

#include <cstdint>
#include <string>

namespace platform::window {

// Writes 0xAARRGGBB pixels (rows top to bottom, width per row) as an 8-bit RGB
// PNG, dropping the alpha byte as the screen does. False on any failure.
bool writePng(const std::string& path, const std::uint32_t* pixels, int width, int height);

} // namespace platform::window
