#pragma once

#include "hostfw/core/epiObject.h"
#include "hostfw/core/epiPath.h"

#include <string>
#include <vector>

// The listing of a folder. Each scan adds its entries sorted by name (byte
// order), so listings are the same on every system; folders carry a trailing
// "/". Hidden entries are those whose name begins with ".".
class epiFolder : public epiObject {
public:
    // True when at least one entry was added. The extension list is
    // comma-separated and compared ignoring case; folders skip it.
    virtual bool scan(const epiPath& folder, const char* extensions, bool includeFolders,
                      bool includeHidden);
    virtual int getCount() const { return static_cast<int>(entries_.size()); }
    virtual epiText getName(int index) const;
    virtual epiPath getEntryPath(int index) const;
    virtual bool nextPath(epiPath& path);
    virtual bool nextName(epiText& name);
    virtual void rewind() { cursor_ = 0; }
    // One relative path per line ("\r\n" after each); with recursion, folders
    // appear only through their contents. Without a folder the current
    // entries are listed.
    virtual void listRecursive(const epiPath* folder, epiText& output, bool recurse);

private:
    epiPath folder_;
    std::vector<std::string> entries_;
    std::size_t cursor_ = 0;
};
