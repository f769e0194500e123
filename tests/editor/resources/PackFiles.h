#pragma once

// Builds resource pack files in memory: the header, a directory whose offsets
// and sizes a test may falsify, and the entries' bytes after it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test::pack {

struct Entry {
    std::string name;
    std::string data;
    // Written in place of the true offset or size when set.
    std::optional<std::uint32_t> offset = {};
    std::optional<std::uint32_t> size = {};
};

inline void put32(std::string& out, std::uint32_t v)
{
    for (int byte = 0; byte < 4; ++byte)
        out.push_back(static_cast<char>((v >> (8 * byte)) & 0xFF));
}

inline std::string header(std::uint32_t count, std::uint32_t version = 1)
{
    std::string out = "RUZOZO";
    put32(out, version);
    put32(out, count);
    return out;
}

// A whole pack; `count` overrides the entry count written in the header.
inline std::string file(const std::vector<Entry>& entries, std::optional<std::uint32_t> count = {})
{
    std::string out = header(count.value_or(static_cast<std::uint32_t>(entries.size())));
    std::size_t directory = 0;
    for (const Entry& e : entries)
        directory += e.name.size() + 1 + 8;
    std::uint32_t offset = static_cast<std::uint32_t>(out.size() + directory);
    std::string data;
    for (const Entry& e : entries) {
        out += e.name;
        out.push_back('\0');
        put32(out, e.offset.value_or(offset));
        put32(out, e.size.value_or(static_cast<std::uint32_t>(e.data.size())));
        offset += static_cast<std::uint32_t>(e.data.size());
        data += e.data;
    }
    return out + data;
}

} // namespace test::pack
