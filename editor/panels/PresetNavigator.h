#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editor/panels/PresetList.h"

namespace Zq::Application::Widgets {
class Menu;
}
namespace Zq::BorvanRAZ::Document {
class Main;
class Serializable;
} // namespace Zq::BorvanRAZ::Document

namespace Zq::BorvanRAZ::GUI {

// One preset position for one part of the document (the whole document, or
// one module unit): the current preset file, the shown name, its position in
// the flat list of the preset folder, and the load and save of that part.
//
// Loads and saves take the document's lock themselves (it is recursive, so
// the editor's own event lock does no harm). Run on the editor's thread.
class PresetNavigator {
public:
    // The part is the document itself or one of its units; only the whole
    // document's load and save touch the preset name.
    PresetNavigator(Document::Main& document, Document::Serializable& part);

    // Reads the file into the part. False, with nothing changed, when the
    // file cannot be read, is not a regular file (a FIFO would block) or
    // holds no preset XML (no root element). For the whole document the
    // preset name becomes the file's stem.
    bool load(const std::string& path);
    // Writes the part to the file atomically (see platform::writeFileAtomically):
    // false, with the old file intact and nothing changed, on any failure.
    // Only after a successful write does the whole document take the file's
    // stem as its preset name.
    bool save(const std::string& path);

    // load or save, then on success: path, name (the stem) and index.
    bool loadAt(int position);
    bool loadPath(const std::string& path);
    bool saveAs(const std::string& path);
    bool saveCurrent() { return saveAs(path_); }

    // Previous/next over the list: entries that vanished or are folders are
    // skipped; the first file found is loaded and, when the load fails, the
    // step fails there. No wrap-around; next from no position loads the first.
    bool previous();
    bool next();

    int findIndex() const;
    void reset();
    void setName(const std::string& text);

    // Rebuilds the flat list from a scan and, with a menu, the menu's items:
    // at each level the folders first (each followed by its content), then
    // the files; item ids are positions in the list. Each sub-menu created is
    // handed to `subMenuCreated` before it is filled.
    void fill(const PresetList& tree, Application::Widgets::Menu* menu,
              const std::function<void(Application::Widgets::Menu*)>& subMenuCreated = {});

    const std::string& getPath() const { return path_; }
    const std::string& getName() const { return name_; }
    int getIndex() const { return index_; }
    const std::vector<std::string>& getList() const { return list_; }

private:
    bool fillLevel(const PresetList::Item& item, Application::Widgets::Menu* menu,
                   const std::function<void(Application::Widgets::Menu*)>& subMenuCreated);
    bool isWholeDocument() const;
    void take(const std::string& path);
    bool step(int direction);

    Document::Main& document_;
    Document::Serializable& part_;
    std::string path_;
    std::string name_;
    int index_ = -1;
    std::vector<std::string> list_;
};

} // namespace Zq::BorvanRAZ::GUI
