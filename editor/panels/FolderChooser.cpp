#include "editor/panels/FolderChooser.h"

#include <algorithm>
#include <filesystem>

#include "editor/panels/PresetList.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

namespace fs = std::filesystem;
using Application::Widgets::AbstractButton;
using Application::Widgets::PushButton;

// The folder's sub-folders in the preset order; hidden ones (a leading dot)
// stay out, and an unreadable folder has none.
std::vector<std::string> subFoldersOf(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error)
        return names;
    for (const fs::directory_iterator end; entries != end; entries.increment(error)) {
        if (error)
            break;
        const std::string name = entries->path().filename().string();
        std::error_code statusError;
        if (!name.empty() && name[0] != '.' && entries->is_directory(statusError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), PresetList::before);
    return names;
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace

FolderChooser::FolderChooser(const PresetContext& context, Application::GUI::Widget* parent)
    : UnitGUI(parent, context.provider, "FolderChooser.xml")
{
    Application::GUI::Widget* panelRoot = nullptr;
    Application::GUI::Widget* box = nullptr;
    find("PanelRoot", panelRoot);
    find("Box", box);
    coverWithBackdrop(panelRoot, box);
    find("FolderText", folderText_);
    find("FolderMenu", menu_);
    menu_->selected.connect(
        [this](Application::DocView::SelectionMenu*, int index) { onChosen(index); });
    PushButton* button = nullptr;
    find("FolderMenuButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { onMenuButton(); });
    find("UpButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { onUp(); });
    find("OKButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { finish(true); });
    find("CancelButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { finish(false); });
}

FolderChooser::~FolderChooser() = default;

void FolderChooser::browse(const std::string& rootFolder, const std::string& folder, Done done)
{
    done_ = std::move(done);
    const std::string start = folder.empty() ? rootFolder : folder;
    enter(start.empty() ? "/" : start);
}

void FolderChooser::enter(const std::string& folder)
{
    folder_ = folder;
    while (folder_.size() > 1 && folder_.back() == '/')
        folder_.pop_back();
    subFolders_ = subFoldersOf(folder_);
    // The whole path: the leaf alone would not say where "Up" leads.
    folderText_->setText(folder_);
}

void FolderChooser::onMenuButton()
{
    subFolders_ = subFoldersOf(folder_);
    menu_->clear();
    for (std::size_t i = 0; i < subFolders_.size(); ++i)
        menu_->addItem(subFolders_[i], static_cast<int>(i));
    if (subFolders_.empty())
        return;
    // The box was centred after the layout placed the menu: open it under
    // its button.
    Application::GUI::Widget* button = nullptr;
    find("FolderMenuButton", button);
    const auto at = button->absolutePosition();
    menu_->setPosition({at.x, at.y + button->getSize().y});
    menu_->show();
}

void FolderChooser::onChosen(int index)
{
    if (index < 0 || index >= menu_->getItemCount())
        return;
    const int id = menu_->getItem(index).id;
    if (id < 0 || id >= static_cast<int>(subFolders_.size()))
        return;
    enter(joined(folder_, subFolders_[static_cast<std::size_t>(id)]));
}

void FolderChooser::onUp()
{
    const fs::path current(folder_);
    if (current.has_parent_path() && current.parent_path() != current)
        enter(current.parent_path().string());
}

void FolderChooser::finish(bool confirmed)
{
    // Once only: a second click before the owner deleted the chooser does
    // nothing.
    Done done = std::move(done_);
    done_ = nullptr;
    if (done)
        done(confirmed, folder_);
}

} // namespace Zq::BorvanRAZ::GUI
