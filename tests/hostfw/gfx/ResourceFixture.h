#pragma once

#include "hostfw/core/epiFileDump.h"
#include "hostfw/core/epiPath.h"
#include "hostfw/res/epiResources.h"

#include "support/AtomBytes.h"
#include "support/TempFolder.h"

#include <map>
#include <string>
#include <vector>

namespace gfxtest {

// A resource service that records the file names asked of it, through
// either the folder path or the pack read. A pack read asks for the path
// first and then the data: the repeat of a name right after itself is one
// request.
struct RecordingResources : epiResources {
    bool loadData(const char* name, epiFourCC category, epiFileDump& dump) override
    {
        record(name);
        return epiResources::loadData(name, category, dump);
    }
    bool getResourceFilePath(const char* name, epiFourCC category, epiPath& path) const override
    {
        record(name);
        return epiResources::getResourceFilePath(name, category, path);
    }
    void record(const char* name) const
    {
        if (asked.empty() || asked.back() != name)
            asked.emplace_back(name);
    }
    mutable std::vector<std::string> asked;
};

// The same files as a folder source ("Folder.frs") and as a pack file
// ("Pack.prs") in a temporary folder. Names are relative to the source's
// root ("images/a.png").
struct ResourceSources {
    explicit ResourceSources(const std::map<std::string, std::string>& files)
    {
        const char* marker =
            "<epi><version>4</version><signature>epiResourceFile</signature></epi>";
        temp.write("Folder.frs/epi.frs", marker);
        std::vector<std::pair<std::string, std::string>> packed{{"/epi.frs", marker}};
        for (const auto& [name, bytes] : files) {
            temp.write("Folder.frs/" + name, bytes);
            packed.emplace_back("/" + name, bytes);
        }
        temp.write("Pack.prs", atombytes::pack(true, packed));
    }
    std::string folder() const { return temp.path("Folder.frs"); }
    std::string pack() const { return temp.path("Pack.prs"); }

    testsupport::TempFolder temp;
};

} // namespace gfxtest
