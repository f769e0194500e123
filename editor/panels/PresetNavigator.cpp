#include "editor/panels/PresetNavigator.h"

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include <tinyxml.h>

#include "editor/widgets/Menu.h"
#include "platform/AtomicFile.h"
#include "platform/CriticalSection.h"
#include "plugin/document/Main.h"
#include "plugin/document/XmlText.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

// A preset holds a few kilobytes; anything far bigger is not one.
constexpr off_t kMaxPresetBytes = 16 * 1024 * 1024;

// The whole file, when it is a regular file that can be read. Opened without
// blocking, so a FIFO or a device of a preset's name is refused at once.
bool readPresetFile(const std::string& path, std::string& text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxPresetBytes) {
        ::close(fd);
        return false;
    }
    std::string content;
    char chunk[8192];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        content.append(chunk, static_cast<std::size_t>(n));
        if (content.size() > static_cast<std::size_t>(kMaxPresetBytes)) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    if (ok)
        text = std::move(content);
    return ok;
}

bool isFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace

PresetNavigator::PresetNavigator(Document::Main& document, Document::Serializable& part)
    : document_(document), part_(part)
{
}

bool PresetNavigator::isWholeDocument() const
{
    return &part_ == static_cast<const Document::Serializable*>(&document_);
}

bool PresetNavigator::load(const std::string& path)
{
    std::string text;
    if (!readPresetFile(path, text))
        return false;
    {
        // Text without a root element would load nothing: a failed load, not
        // an empty preset under the file's name.
        TiXmlDocument probe;
        if (!Document::parseText(probe, text))
            return false;
    }
    platform::ScopedEnter lock(*document_.getLock());
    std::istringstream in(text);
    part_.load(in);
    if (isWholeDocument())
        document_.setPresetName(path);
    return true;
}

bool PresetNavigator::save(const std::string& path)
{
    platform::ScopedEnter lock(*document_.getLock());
    std::ostringstream out;
    part_.save(out);
    // The temporary name starts with a dot and does not end in ".qomp": no
    // scan lists it, even when a killed save leaves it behind. Only the start
    // of the preset's name goes in, so a long name still leaves room for it.
    const std::string prefix = ".~" + PresetList::leaf(path).substr(0, 64) + "~";
    if (!platform::writeFileAtomically(path, out.str(), prefix))
        return false;
    if (isWholeDocument())
        document_.setPresetName(path);
    return true;
}

void PresetNavigator::take(const std::string& path)
{
    path_ = path;
    name_ = PresetList::stem(path);
    index_ = findIndex();
}

bool PresetNavigator::loadAt(int position)
{
    if (position < 0 || position >= static_cast<int>(list_.size()))
        return false;
    return loadPath(list_[static_cast<std::size_t>(position)]);
}

bool PresetNavigator::loadPath(const std::string& path)
{
    // The list may be rebuilt by the document's signals: keep a copy.
    const std::string target = path;
    if (!load(target))
        return false;
    take(target);
    return true;
}

bool PresetNavigator::saveAs(const std::string& path)
{
    const std::string target = path;
    if (!save(target))
        return false;
    take(target);
    return true;
}

bool PresetNavigator::step(int direction)
{
    const int count = static_cast<int>(list_.size());
    for (int i = index_ + direction; i >= 0 && i < count; i += direction) {
        const std::string& entry = list_[static_cast<std::size_t>(i)];
        if (isFile(entry))
            return loadPath(entry);
    }
    return false;
}

bool PresetNavigator::previous()
{
    if (index_ < 0)
        return false;
    return step(-1);
}

bool PresetNavigator::next()
{
    return step(+1);
}

int PresetNavigator::findIndex() const
{
    for (std::size_t i = 0; i < list_.size(); ++i)
        if (list_[i] == path_)
            return static_cast<int>(i);
    return -1;
}

void PresetNavigator::reset()
{
    path_.clear();
    name_.clear();
    index_ = -1;
}

void PresetNavigator::setName(const std::string& text)
{
    reset();
    name_ = text;
}

void PresetNavigator::fill(const PresetList& tree, Application::Widgets::Menu* menu,
                           const std::function<void(Application::Widgets::Menu*)>& subMenuCreated)
{
    list_.clear();
    if (menu)
        menu->clear();
    fillLevel(tree.getRoot(), menu, subMenuCreated);
    index_ = findIndex();
}

bool PresetNavigator::fillLevel(
    const PresetList::Item& item, Application::Widgets::Menu* menu,
    const std::function<void(Application::Widgets::Menu*)>& subMenuCreated)
{
    bool checked = false;
    for (const auto& child : item.children) {
        if (!child->isFolder)
            continue;
        const int id = static_cast<int>(list_.size());
        list_.push_back(child->path);
        Application::Widgets::Menu* subMenu = menu ? menu->createSubMenu() : nullptr;
        if (subMenu && subMenuCreated)
            subMenuCreated(subMenu);
        const bool below = fillLevel(*child, subMenu, subMenuCreated);
        if (menu)
            menu->addItem(child->name, id, subMenu, below);
        checked = checked || below;
    }
    for (const auto& child : item.children) {
        if (child->isFolder)
            continue;
        const int id = static_cast<int>(list_.size());
        list_.push_back(child->path);
        const bool current = child->path == path_;
        if (menu)
            menu->addItem(PresetList::stem(child->name), id, nullptr, current);
        checked = checked || current;
    }
    return checked;
}

} // namespace Zq::BorvanRAZ::GUI
