#pragma once

#include <cstdint>

// The cabinet's stored impulse responses: 73 named tables of 8192 float samples at 44100 Hz,
// compiled into the program (CabinetTables.cpp and CabinetTables.bin, written by
// tools/cabinet/CabinetTableGenerator). Identical tables share storage: every unit impulse is one
// table, so are the silent tweeter entries and the four tweeter entries of a cabinet.
namespace AudioEngine::BorvanQom::CabinetTables {

constexpr std::uint32_t kTableLength = 8192;
constexpr double kTableRate = 44100.0;
// Entries per set, "Flat" included: 24 positions, 6 microphones, 6 impedance curves.
constexpr std::uint32_t kEntryCount = 37;

struct Table {
    const char* name;
    const float* samples; // kTableLength samples, read-only
};

// In set order: "Flat", the positions, the microphones, the impedance curves.
extern const Table kWooferTables[kEntryCount];
// "Flat" (the woofer set's table), the tweeters, "FakeMic1".."6", "FakeImped1".."6".
extern const Table kTweeterTables[kEntryCount];
// SHA-256 of the 73 tables (the woofer set's 37, then the tweeter set's entries 1..36) as
// little-endian float32, computed by the generator when it wrote them.
extern const char kSha256[];

} // namespace AudioEngine::BorvanQom::CabinetTables
