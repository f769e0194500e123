#pragma once

#include "hostfw/core/epiObject.h"

#include <cstddef>
#include <cstdint>

class epiFile;
class epiPath;
class epiText;

// The framework's binary container: a 12-byte header ('atms', 0, version 1)
// and a flat run of atoms (tag, length, 0, data). Files are written
// little-endian and read in either byte order, decided by the header. Atoms
// are read in sequence; each read names the tag it expects, and a read that
// fails leaves the position where the atom began.
//
// Stored lengths are checked against the bytes left in the file before
// anything is sized from them, so a damaged file fails its reads instead of
// asking for memory it cannot fill.
class epiAtomsFile : public epiObject {
public:
    epiAtomsFile() = default;
    epiAtomsFile(const epiAtomsFile&) = delete;
    epiAtomsFile& operator=(const epiAtomsFile&) = delete;
    ~epiAtomsFile() override;

    // Takes an open file (not owned), then reads the header (mode bit 0x1) or
    // writes it.
    virtual bool attachFile(epiFile* file, int mode);
    virtual bool open(const epiPath& path, int mode, int a = 0, int b = 0);
    virtual bool close();

    bool writeAtom(epiFourCC tag, const void* bytes, std::uint32_t length);
    bool writeUInt32(epiFourCC tag, std::uint32_t value);
    bool writeByte(epiFourCC tag, std::uint8_t value);
    bool writeText(epiFourCC tag, const epiText& text);

    // A stored length equal to size fills the target; a shorter one is
    // zero-padded; a longer one gives its first size bytes and the position
    // moves past the whole atom.
    bool readAtom(epiFourCC tag, void* target, std::uint32_t size);
    bool readUInt32(epiFourCC tag, std::uint32_t& target);
    bool readByte(epiFourCC tag, std::uint8_t& target);
    bool readText(epiFourCC tag, epiText& text);
    bool peekAtomLength(epiFourCC tag, std::uint32_t& length);
    bool skipAtom(epiFourCC tag, std::uint32_t& length, std::int64_t& dataPosition);

    bool isSwapped() const { return swapped_; }
    void setClearOnFailure(bool clear) { clearOnFailure_ = clear; }
    // Bytes between the position and the end of the file.
    std::uint64_t bytesLeft() const;
    // Reads exactly count bytes at the position of the underlying file.
    bool readRaw(std::int64_t position, void* target, std::size_t count);

private:
    bool handleHeader(int mode);
    // Reads the next atom's header at the position; false at the end.
    bool readHeader(std::uint32_t& tag, std::uint32_t& length);

    epiFile* file_ = nullptr;
    bool ownsFile_ = false;
    bool clearOnFailure_ = true;
    bool swapped_ = false;
};
