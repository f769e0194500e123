// Writes the metronome's click for the host's resource pack: the default
// click at 44100 Hz (2205 samples), scaled by 32767 and rounded, as 16-bit
// little-endian mono samples without header. The same bytes on every run.
//
//   metronome_click <out.raw>

#include "host/player/ejpDefaultClick.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: metronome_click <out.raw>\n");
        return 2;
    }
    const int length = player::ejpDefaultClickLength(44100.0);
    std::string bytes;
    for (int i = 0; i < length; ++i) {
        const auto value = static_cast<std::int16_t>(
            std::lround(32767.0 * player::ejpDefaultClickSample(i, length)));
        const auto bits = static_cast<std::uint16_t>(value);
        bytes += static_cast<char>(bits & 0xFF);
        bytes += static_cast<char>(bits >> 8);
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "metronome_click: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
