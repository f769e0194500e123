#pragma once

#include "hostfw/core/epiObject.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Hand-built atoms files in either byte order, for the readers' tests.
namespace atombytes {

inline std::string u32(bool big, std::uint32_t v)
{
    std::string out;
    for (int i = 0; i < 4; ++i) {
        const int shift = big ? 24 - 8 * i : 8 * i;
        out += static_cast<char>((v >> shift) & 0xFF);
    }
    return out;
}

inline std::string header(bool big, std::uint32_t reserved = 0, std::uint32_t version = 1)
{
    return u32(big, epiCode("atms")) + u32(big, reserved) + u32(big, version);
}

inline std::string atom(bool big, epiFourCC tag, const std::string& data)
{
    return u32(big, tag) + u32(big, static_cast<std::uint32_t>(data.size())) + u32(big, 0) + data;
}

// An atom whose stored length says what the caller wants, whatever follows.
inline std::string atomClaiming(bool big, epiFourCC tag, std::uint32_t length,
                                const std::string& data)
{
    return u32(big, tag) + u32(big, length) + u32(big, 0) + data;
}

inline std::string number(bool big, epiFourCC tag, std::uint32_t v)
{
    return atom(big, tag, u32(big, v));
}

// A pack of the given (name, data) files, as the pack writer lays it out.
inline std::string pack(bool big, const std::vector<std::pair<std::string, std::string>>& files,
                        std::uint32_t version = 1)
{
    std::string out = header(big) + number(big, epiCode("eRpk"), version) +
                      number(big, epiCode("sCnt"), static_cast<std::uint32_t>(files.size()));
    for (const auto& [name, data] : files)
        out += atom(big, epiCode("Name"), name) +
               number(big, epiCode("Size"), static_cast<std::uint32_t>(data.size())) +
               atom(big, epiCode("Data"), data);
    return out + number(big, epiCode("Rend"), 0);
}

} // namespace atombytes
