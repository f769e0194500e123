#include "vstbridge/ProgramBank.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace Zq::Carapace {
namespace {

// The bank's integers are little-endian on every machine.
void putInt32(std::vector<char>& out, std::size_t at, std::int64_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
}

std::int32_t getInt32(const char* at)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(at[i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

} // namespace

std::int64_t ProgramBank::bankSize() const noexcept
{
    std::int64_t size = 4;
    for (const Program& program : programs_)
        size += 8 + static_cast<std::int64_t>(program.name.size()) +
                static_cast<std::int64_t>(program.chunk.size());
    return size <= std::numeric_limits<std::int32_t>::max() ? size : -1;
}

bool ProgramBank::write(std::vector<char>& out) const
{
    const std::int64_t size = bankSize();
    if (size < 0)
        return false;
    std::vector<char> bank(static_cast<std::size_t>(size));
    putInt32(bank, 0, kCount);
    std::size_t at = 4;
    for (const Program& program : programs_) {
        putInt32(bank, at, static_cast<std::int64_t>(program.name.size()));
        at += 4;
        std::copy(program.name.begin(), program.name.end(),
                  bank.begin() + static_cast<std::ptrdiff_t>(at));
        at += program.name.size();
        putInt32(bank, at, static_cast<std::int64_t>(program.chunk.size()));
        at += 4;
        std::copy(program.chunk.begin(), program.chunk.end(),
                  bank.begin() + static_cast<std::ptrdiff_t>(at));
        at += program.chunk.size();
    }
    out = std::move(bank);
    return true;
}

bool ProgramBank::read(const char* data, std::int64_t size)
{
    if (!data || size < 4 || size > kMaxBankBytes)
        return false;
    const std::int32_t count = getInt32(data);
    if (count < 0)
        return false;
    const std::int32_t records = std::min(count, kCount);

    // Check every record first; lengths are int32, the sums int64, so no
    // length can wrap an offset back into the buffer.
    struct Span {
        std::int64_t nameAt, nameLength, chunkAt, chunkLength;
    };
    std::array<Span, kCount> spans{};
    std::int64_t at = 4;
    for (std::int32_t i = 0; i < records; ++i) {
        Span& span = spans[static_cast<std::size_t>(i)];
        if (size - at < 4)
            return false;
        span.nameLength = getInt32(data + at);
        span.nameAt = at + 4;
        if (span.nameLength < 0 || size - span.nameAt < span.nameLength + 4)
            return false;
        span.chunkLength = getInt32(data + span.nameAt + span.nameLength);
        span.chunkAt = span.nameAt + span.nameLength + 4;
        if (span.chunkLength < 0 || size - span.chunkAt < span.chunkLength)
            return false;
        at = span.chunkAt + span.chunkLength;
    }

    // Built aside, then swapped in: running out of memory half-way changes
    // nothing either.
    std::array<Program, kCount> loaded;
    for (std::int32_t i = 0; i < records; ++i) {
        const Span& span = spans[static_cast<std::size_t>(i)];
        Program& program = loaded[static_cast<std::size_t>(i)];
        program.name.assign(data + span.nameAt, static_cast<std::size_t>(std::min<std::int64_t>(
                                                    span.nameLength, kNameLength)));
        program.chunk.assign(data + span.chunkAt, data + span.chunkAt + span.chunkLength);
    }
    for (std::int32_t i = 0; i < records; ++i)
        std::swap(programs_[static_cast<std::size_t>(i)], loaded[static_cast<std::size_t>(i)]);
    return true;
}

} // namespace Zq::Carapace
