#include "hostfw/core/epiFolder.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

bool epiFolder::scan(const epiPath& folder, const char* extensions, bool includeFolders,
                     bool includeHidden)
{
    folder_ = folder;
    folder_.ensureTrailingSlash();
    const std::size_t before = entries_.size();
    const std::string native = folder_.toNative();
    if (DIR* dir = ::opendir(native.empty() ? "." : native.c_str())) {
        const epiText list(extensions ? extensions : "");
        std::vector<std::string> found;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (!includeHidden && name[0] == '.')
                continue;
            struct stat info;
            const bool isFolder =
                ::stat((native + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            if (isFolder) {
                if (includeFolders)
                    found.push_back(name + "/");
                continue;
            }
            if (extensions) {
                const std::size_t dot = name.rfind('.');
                const epiText extension(dot == std::string::npos ? name : name.substr(dot + 1));
                int index = 0;
                if (!extension.isOneOfText(list, index))
                    continue;
            }
            found.push_back(name);
        }
        ::closedir(dir);
        std::sort(found.begin(), found.end());
        entries_.insert(entries_.end(), found.begin(), found.end());
    }
    rewind();
    return entries_.size() > before;
}

epiText epiFolder::getName(int index) const
{
    if (index < 0 || index >= getCount())
        return epiText();
    return epiText(entries_[static_cast<std::size_t>(index)]);
}

epiPath epiFolder::getEntryPath(int index) const
{
    if (index < 0 || index >= getCount())
        return epiPath();
    return epiPath(folder_.str() + entries_[static_cast<std::size_t>(index)]);
}

bool epiFolder::nextPath(epiPath& path)
{
    if (cursor_ >= entries_.size())
        return false;
    path.assign((folder_.str() + entries_[cursor_++]).c_str());
    return true;
}

bool epiFolder::nextName(epiText& name)
{
    if (cursor_ >= entries_.size())
        return false;
    name.assign(entries_[cursor_++].c_str());
    return true;
}

void epiFolder::listRecursive(const epiPath* folder, epiText& output, bool recurse)
{
    output.clear();
    if (folder) {
        entries_.clear();
        scan(*folder, nullptr, recurse, false);
    }
    rewind();
    epiText name;
    while (nextName(name)) {
        if (recurse && name.lastChar() == '/') {
            epiFolder inner;
            const epiPath innerPath(folder_.str() + name.str());
            epiText lines;
            inner.listRecursive(&innerPath, lines, true);
            epiText line;
            for (std::size_t i = 0, n = lines.countLines(); i < n; ++i) {
                lines.getLineInto(i, line);
                output.append(name.getCStr());
                output.append(line.getCStr());
                output.appendNewLine();
            }
        } else {
            output.append(name.getCStr());
            output.appendNewLine();
        }
    }
}
