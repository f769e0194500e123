#include "editor/panels/PresetSave.h"

#include <filesystem>

#include "editor/panels/FolderChooser.h"
#include "editor/panels/PresetList.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

using Application::Widgets::AbstractButton;
using Application::Widgets::PushButton;

constexpr const char* kOverwrite = "Overwrite Preset";

std::string parentFolder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

PresetSave::PresetSave(const PresetContext& context, Application::GUI::Widget* parent,
                       const std::string& currentPath)
    : UnitGUI(parent, context.provider, "PresetSave.xml"), context_(context)
{
    Application::GUI::Widget* panelRoot = nullptr;
    Application::GUI::Widget* box = nullptr;
    find("PanelRoot", panelRoot);
    find("Box", box);
    coverWithBackdrop(panelRoot, box);

    targetPath_ = currentPath;
    if (!currentPath.empty()) {
        name_ = PresetList::stem(currentPath);
        folder_ = parentFolder(currentPath);
    } else {
        folder_ = context.presetPath ? context.presetPath() : std::string();
    }
    find("FolderText", folderText_);
    folderText_->setText(PresetList::leaf(folder_));
    find("PresetText", nameText_);
    nameText_->setText(name_);
    nameText_->setAllowedCharacters(kAllowedCharacters);
    nameText_->setMaxLength(kMaxNameLength);

    PushButton* button = nullptr;
    find("SaveButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { onSave(); });
    find("CloseButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { onCancel(); });
    find("CancelButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { onCancel(); });
    find("FolderButton", button);
    button->clicked.connect([this](AbstractButton*, const auto&) { onChooseFolder(); });

    find("OverwriteCheckBox", overwrite_);
    std::int32_t value = 0;
    if (platform::readRegistryNumber(context.productKey, kOverwrite, value)) {
        overwrite_->setChecked(value != 0);
    } else {
        platform::writeRegistryNumber(context.productKey, kOverwrite, 0);
        overwrite_->setChecked(false);
    }
    overwriteChecked_ = overwrite_->isChecked();
    overwrite_->toggled.connect(
        [this](Application::Widgets::CheckBox*, bool checked) { overwriteChecked_ = checked; });
    nameText_->setFocus();
}

PresetSave::~PresetSave()
{
    chooser_.reset();
    storeOverwrite();
}

void PresetSave::storeOverwrite()
{
    platform::writeRegistryNumber(context_.productKey, kOverwrite, overwriteChecked_ ? 1 : 0);
}

void PresetSave::onSave()
{
    std::string name = nameText_->getText();
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    name_ = name;
    if (name_.empty()) {
        platform::showMessageBox("Please, type a preset name", "", 0);
        return;
    }
    storeOverwrite();
    if (folder_.empty()) {
        // No preset folder could be read: nowhere sensible to write; a folder
        // can still be chosen.
        platform::showMessageBox("Can't save preset", "File error", 0);
        return;
    }
    // The name as it stands, dots and all: a proposed "My.Song" saves to
    // "My.Song.qomp", never over "My.qomp".
    const std::string target =
        (folder_.back() == '/' ? folder_ : folder_ + "/") + name_ + PresetList::kExtension;
    std::error_code error;
    if (!overwriteChecked_ && std::filesystem::exists(target, error)) {
        if (!platform::showMessageBox("Are you sure you want to replace \"" + name_ + "\"?", "", 2))
            return;
    }
    targetPath_ = target;
    closed(this, true);
}

void PresetSave::onCancel()
{
    closed(this, false);
}

void PresetSave::onChooseFolder()
{
    if (chooser_)
        return;
    chooser_ = std::make_unique<FolderChooser>(context_, context_.rootWidget);
    const std::string start = context_.presetPath ? context_.presetPath() : std::string();
    chooser_->browse(start, start, [this](bool confirmed, const std::string& folder) {
        onFolderChosen(confirmed, folder);
    });
}

void PresetSave::onFolderChosen(bool confirmed, const std::string& folder)
{
    if (confirmed)
        setFolder(folder);
    // The report comes from the chooser's own click.
    std::shared_ptr<FolderChooser> closing(chooser_.release());
    context_.later([closing]() mutable { closing.reset(); });
}

void PresetSave::setFolder(const std::string& folder)
{
    folder_ = folder;
    folderText_->setText(PresetList::leaf(folder_));
}

} // namespace Zq::BorvanRAZ::GUI
