#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Zq::Carapace {

// One program: a name and an opaque copy of the processor's state chunk
// (empty: the program has no chunk).
struct Program {
    std::string name;
    std::vector<char> chunk;
};

// The 100 programs a host sees, and their bank format: an int32 count, then
// per program its name length, name bytes, chunk length and chunk bytes, all
// integers little-endian, nothing padded or terminated.
class ProgramBank {
public:
    static constexpr std::int32_t kCount = 100;
    // A program's name is cut to this many bytes when a bank is read (the
    // host's program-name buffers hold 24 characters).
    static constexpr std::int32_t kNameLength = 24;
    // Larger banks are refused whole: 100 states of a few kilobytes each
    // are far below it.
    static constexpr std::int64_t kMaxBankBytes = std::int64_t{128} << 20;

    static constexpr bool isIndex(std::int64_t index) noexcept
    {
        return index >= 0 && index < kCount;
    }

    Program& operator[](std::int32_t index) { return programs_[static_cast<std::size_t>(index)]; }
    const Program& operator[](std::int32_t index) const
    {
        return programs_[static_cast<std::size_t>(index)];
    }

    // The bank's size in bytes: 4 + the sum of (8 + name + chunk); -1 when
    // that does not fit an int32 (a host could not be handed it).
    std::int64_t bankSize() const noexcept;
    // The bank with the count 100, or false (out untouched) when it is too
    // large for an int32 size.
    bool write(std::vector<char>& out) const;
    // Reads the first min(count, 100) records over programs 0, 1 ... Every
    // record is checked against size before anything changes: a null bank,
    // one over kMaxBankBytes, one shorter than its count, a negative count or
    // length, or a record running past the end answers false and leaves every
    // program as it was. Names are cut to kNameLength bytes.
    // Programs beyond the bank's count keep their names and chunks.
    bool read(const char* data, std::int64_t size);

private:
    std::array<Program, kCount> programs_;
};

} // namespace Zq::Carapace
