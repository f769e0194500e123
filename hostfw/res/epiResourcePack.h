#pragma once

#include "hostfw/core/epiObject.h"
#include "hostfw/core/epiPath.h"

#include <cstdint>
#include <memory>
#include <vector>

class epiAtomsFile;
class epiFileDump;

// A pack of files in one atoms file: 'eRpk' 1, 'sCnt' n, then per file
// 'Name' (its path, beginning with "/"), 'Size' and 'Data', closed by 'Rend'.
// The index is read once; files are extracted at their recorded positions.
// Names compare exactly, case included.
class epiResourcePack : public epiObject {
public:
    class fileElem : public epiPath {
    public:
        fileElem(const epiText& name, std::int64_t position, std::uint32_t length)
            : epiPath(name), position(position), length(length)
        {
        }
        std::int64_t position;
        std::uint32_t length;
    };

    epiResourcePack() = default;
    epiResourcePack(const epiResourcePack&) = delete;
    epiResourcePack& operator=(const epiResourcePack&) = delete;
    ~epiResourcePack() override;

    bool openPack(const epiPath& path);
    // With a file: uses that opened atoms file without owning it. A damaged
    // index (a missing or short 'Name', 'Size' or 'Data') leaves the pack
    // closed and empty.
    bool readIndex(epiAtomsFile* atoms);
    bool findEntry(const char* name, const fileElem** entry) const;
    bool hasEntry(const char* name) const { return findEntry(name, nullptr); }
    bool extract(const char* name, epiFileDump& dump);
    bool getEntryName(std::size_t index, epiText& name) const;
    std::size_t getEntryCount() const { return entries_.size(); }
    void closePack();

private:
    void releaseIndex();

    std::vector<std::unique_ptr<fileElem>> entries_;
    epiAtomsFile* atoms_ = nullptr;
    bool ownsAtoms_ = false;
};
