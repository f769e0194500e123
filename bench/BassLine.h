#pragma once

// The benchmarks' bass line as float samples of its first channel: the WAV
// file the build generates (tools/bassline, path in RIG_BASS_LINE_WAV), or the
// file the environment variable RIG_BASS_LINE names. A file that is missing or
// cannot be read ends the benchmark program with an error: a figure measured
// on some other signal would pass for one measured on the bass line.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bench {

// A little-endian RIFF file of 16-bit integer or 32-bit float PCM; the first
// channel, or nothing when the file is missing or of another kind.
inline std::vector<float> readWav(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    auto u16 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return {};
    std::uint32_t format = 0, channels = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = u32(at + 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size())
            break;
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16) {
            format = u16(body);
            channels = u16(body + 2);
            bits = u16(body + 14);
            if (format == 0xFFFE && size >= 26)
                format = u16(body + 24); // the extensible format's sub-format
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0 && channels > 0 && bits >= 8) {
            const std::size_t frameBytes = channels * bits / 8;
            std::vector<float> samples(size / frameBytes);
            for (std::size_t i = 0; i < samples.size(); ++i) {
                const std::size_t p = body + i * frameBytes;
                if (format == 1 && bits == 16)
                    samples[i] = static_cast<float>(static_cast<std::int16_t>(u16(p))) / 32768.0f;
                else if (format == 3 && bits == 32) {
                    const std::uint32_t word = u32(p);
                    std::memcpy(&samples[i], &word, 4);
                } else
                    return {};
            }
            return samples;
        }
        at = body + size + (size & 1u);
    }
    return {};
}

#ifndef RIG_BASS_LINE_WAV
#error "RIG_BASS_LINE_WAV names the generated bass line (see bench/CMakeLists.txt)"
#endif

inline const std::vector<float>& bassLine()
{
    static const std::vector<float> samples = [] {
        const char* variable = std::getenv("RIG_BASS_LINE");
        const std::string path = variable != nullptr ? variable : RIG_BASS_LINE_WAV;
        std::vector<float> read = readWav(path);
        if (read.empty()) {
            std::fprintf(stderr,
                         "error: no bass line in %s (missing, empty, or not 16-bit integer or "
                         "32-bit float PCM); build the bench targets, which generate it\n",
                         path.c_str());
            std::exit(EXIT_FAILURE);
        }
        return read;
    }();
    return samples;
}

} // namespace bench
