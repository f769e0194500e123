#pragma once

#include <memory>
#include <string>
#include <vector>

namespace Zq::BorvanRAZ::GUI {

// One scan of the preset folder: a short-lived tree of its sub-folders and
// preset files, from which the preset panel builds its menu and its flat list.
//
// Each folder's entries are sorted by name, case-insensitively with a
// byte-wise tie-break, so that the menu and previous/next keep one order on
// every machine (the file system enumerates in no particular order).
//
// The scan never throws and never hangs: a folder that cannot be read stays
// in the tree without entries and the rest is listed; links to folders are
// not followed (a link to an ancestor would never end) and a folder met again
// below itself (a bind mount) is not entered twice; only regular files whose
// name ends in exactly ".qomp" are listed, never a FIFO or a device of that
// name, which would block whoever opened it.
class PresetList {
public:
    struct Item {
        // The last component of `path`: a folder's name, a file's name with
        // its extension.
        std::string name;
        std::string path;
        bool isFolder = false;
        std::vector<std::shared_ptr<Item>> children;
    };

    static constexpr const char* kExtension = ".qomp";

    // Scans the folder. A missing one is created first (one level, no
    // parents); an empty location creates nothing and gives an empty tree,
    // as does a path that is a file.
    explicit PresetList(const std::string& folder);

    // The root: name "Presets", path the folder.
    const Item& getRoot() const { return root_; }

    // The name forms of a path's last component: the leaf is the text after
    // the last "/", the stem the leaf up to its last "." (the whole leaf
    // without one).
    static std::string leaf(const std::string& path);
    static std::string stem(const std::string& path);
    // Whether a file name is a preset's: it ends in exactly ".qomp".
    static bool isPresetName(const std::string& name);
    // The preset order of two names.
    static bool before(const std::string& a, const std::string& b);

private:
    Item root_;
};

} // namespace Zq::BorvanRAZ::GUI
