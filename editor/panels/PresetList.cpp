#include "editor/panels/PresetList.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <utility>

#include <sys/stat.h>

namespace Zq::BorvanRAZ::GUI {

namespace {

namespace fs = std::filesystem;

using FolderId = std::pair<dev_t, ino_t>;

unsigned char lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// `onPath` holds the folders from the root down to this one: a folder among
// them is not entered again.
void scan(const std::string& folder, std::vector<std::shared_ptr<PresetList::Item>>& children,
          std::set<FolderId>& onPath)
{
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        return;
    for (const fs::directory_iterator end; entries != end; entries.increment(error)) {
        if (error)
            break;
        const fs::path& path = entries->path();
        const std::string name = path.filename().string();
        // lstat: a link to a folder is not a folder here.
        struct stat own {};
        if (::lstat(path.c_str(), &own) != 0)
            continue;
        if (S_ISDIR(own.st_mode)) {
            auto item = std::make_shared<PresetList::Item>();
            item->name = name;
            item->path = path.string();
            item->isFolder = true;
            const FolderId id{own.st_dev, own.st_ino};
            if (onPath.insert(id).second) {
                scan(item->path, item->children, onPath);
                onPath.erase(id);
            }
            children.push_back(std::move(item));
            continue;
        }
        if (!PresetList::isPresetName(name))
            continue;
        // A link to a preset file is listed; a link to anything else is not.
        struct stat target {};
        if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode))
            continue;
        auto item = std::make_shared<PresetList::Item>();
        item->name = name;
        item->path = path.string();
        children.push_back(std::move(item));
    }
    std::sort(children.begin(), children.end(),
              [](const auto& a, const auto& b) { return PresetList::before(a->name, b->name); });
}

} // namespace

PresetList::PresetList(const std::string& folder)
{
    root_.name = "Presets";
    root_.path = folder;
    root_.isFolder = true;
    if (folder.empty())
        return;
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        if (errno != ENOENT)
            return;
        std::error_code ignored;
        fs::create_directory(folder, ignored);
        if (::stat(folder.c_str(), &status) != 0)
            return;
    }
    if (!S_ISDIR(status.st_mode))
        return;
    std::set<FolderId> onPath{{status.st_dev, status.st_ino}};
    scan(folder, root_.children, onPath);
}

std::string PresetList::leaf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PresetList::stem(const std::string& path)
{
    std::string name = leaf(path);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

bool PresetList::isPresetName(const std::string& name)
{
    const std::string extension = kExtension;
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot, std::string::npos, extension) == 0;
}

bool PresetList::before(const std::string& a, const std::string& b)
{
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
        });
    if (less)
        return true;
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
            return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
        });
    if (greater)
        return false;
    // Equal but for case: the byte order decides, so no two names tie.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace Zq::BorvanRAZ::GUI
