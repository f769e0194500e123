#pragma once

#include "hostfw/core/epiApplicationObject.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/core/epiRamFile.h"
#include "hostfw/res/epiAtomsFile.h"
#include "hostfw/res/epiResourcePack.h"

#include <cstddef>

class epiFileDump;

// Where resources come from: loose files below a folder, a pack file, or the
// pack linked into the program. Names are relative ("layouts/host.xml").
class epiResMediaFiles : public epiApplicationObject {
public:
    virtual bool openResource(int, const void*) { return false; }
    // The folder must hold the marker file "epi.frs".
    virtual bool openSource(const epiPath& path);
    virtual void closeSource() { base_.clear(); }
    virtual bool readFile(const char* name, epiFileDump& dump);
    virtual bool writeFile(const char* name, const void* bytes, std::size_t length);
    virtual bool fileExists(const char* name) const;
    virtual epiPath getBasePath() const { return base_; }
    virtual bool isFolderSource() const { return true; }
    virtual bool makeFullPath(const char* name, epiPath& path) const;
    // The names below a folder ("layouts/"), one per line.
    virtual void listFiles(const char* folder, epiText& output, bool recurse);

protected:
    epiPath base_;
};

class epiResMediaPack : public epiResMediaFiles {
public:
    bool openSource(const epiPath& path) override;
    void closeSource() override;
    bool readFile(const char* name, epiFileDump& dump) override;
    bool writeFile(const char*, const void*, std::size_t) override { return false; }
    bool fileExists(const char* name) const override { return pack_.hasEntry(name); }
    bool isFolderSource() const override { return false; }
    bool makeFullPath(const char* name, epiPath& path) const override;
    void listFiles(const char* folder, epiText& output, bool recurse) override;

protected:
    epiResourcePack pack_;
};

// The pack linked into the program, read in place through a memory file.
class epiResMediaNativePack : public epiResMediaPack {
public:
    // The pack lets go of the atoms file before the members it reads go.
    ~epiResMediaNativePack() override { closeSource(); }

    // The module argument has no meaning here: the program's own blobs are
    // the only ones.
    bool openResource(int id, const void* module) override;
    void closeSource() override;

private:
    epiRamFile memory_;
    epiAtomsFile atoms_;
};
