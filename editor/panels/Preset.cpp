#include "editor/panels/Preset.h"

#include <filesystem>

#include "editor/panels/PresetSave.h"
#include "editor/resources/Shell.h"
#include "editor/widgets/Menu.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

namespace {

using Application::Widgets::AbstractButton;
using Application::Widgets::Menu;
using Application::Widgets::StaticText;

constexpr const char* kNoPreset = "Click to load a preset";

} // namespace

Preset::Preset(const PresetContext& context, Application::GUI::Widget* parent)
    : UnitGUI(parent, context.provider, "Preset.xml"), context_(context)
{
    Document::Rig& rig = context.document;
    navigators_[kDocument] = std::make_unique<PresetNavigator>(rig, rig);
    navigators_[kStomp] = std::make_unique<PresetNavigator>(rig, rig.getStompModule());
    navigators_[kAmp] = std::make_unique<PresetNavigator>(rig, rig.getAmpModule());
    navigators_[kCab] = std::make_unique<PresetNavigator>(rig, rig.getCabModule());
    // One scan for all four: a missing "PresetPath" says so once.
    const PresetList tree(context.presetPath ? context.presetPath() : std::string());
    for (auto& navigator : navigators_) {
        navigator->reset();
        navigator->fill(tree, nullptr);
    }

    nameChanged_ = rig.presetNameChanged.connect([this] { onDocumentNameChanged(); });
    find("PresetMenu", menu_);
    connectMenu(menu_);
    button("SaveButton")->clicked.connect([this](AbstractButton*, const auto&) { onSave(); });
    button("SaveAsButton")->clicked.connect([this](AbstractButton*, const auto&) { onSaveAs(); });
    button("DeleteButton")->clicked.connect([this](AbstractButton*, const auto&) { onDelete(); });
    button("PresetMenuButton")->clicked.connect([this](AbstractButton*, const auto&) {
        onMenuButton();
    });
    button("UpButton")->clicked.connect([this](AbstractButton*, const auto&) { onUp(); });
    button("DownButton")->clicked.connect([this](AbstractButton*, const auto&) { onDown(); });
    button("PresetFolderButton")->clicked.connect([this](AbstractButton*, const auto&) {
        onPresetFolder();
    });

    navigators_[kDocument]->setName(kNoPreset);
    refreshText();
}

Preset::~Preset()
{
    nameChanged_.disconnect();
    saveDialog_.reset();
}

AbstractButton* Preset::button(const std::string& name)
{
    Application::Widgets::PushButton* found = nullptr;
    find(name, found);
    return found;
}

void Preset::connectMenu(Menu* menu)
{
    menu->selected.connect([this, menu](Application::DocView::SelectionMenu*, int index) {
        onMenuItemChosen(index, menu);
    });
}

void Preset::refreshText()
{
    StaticText* text = nullptr;
    find("PresetText", text);
    text->setText(navigators_[kDocument]->getName());
}

void Preset::resetModules()
{
    for (int which : {kStomp, kAmp, kCab})
        navigators_[which]->reset();
}

void Preset::onDocumentNameChanged()
{
    navigators_[kDocument]->setName(context_.document.getPresetName());
    refreshText();
}

void Preset::onMenuItemChosen(int index, Menu* menu)
{
    if (index < 0 || index >= menu->getItemCount())
        return;
    // A preset that vanished since the menu was built fails silently.
    navigators_[kDocument]->loadAt(menu->getItem(index).id);
    refreshText();
    resetModules();
}

void Preset::onUp()
{
    if (navigators_[kDocument]->previous()) {
        refreshText();
        resetModules();
    }
}

void Preset::onDown()
{
    if (navigators_[kDocument]->next()) {
        refreshText();
        resetModules();
    }
}

void Preset::rebuildMenu()
{
    const PresetList tree(context_.presetPath ? context_.presetPath() : std::string());
    navigators_[kDocument]->fill(tree, menu_, [this](Menu* sub) { connectMenu(sub); });
}

void Preset::onMenuButton()
{
    rebuildMenu();
    menu_->show();
}

void Preset::onSave()
{
    PresetNavigator& navigator = *navigators_[kDocument];
    if (navigator.getPath().empty()) {
        onSaveAs();
        return;
    }
    std::int32_t overwrite = 0;
    // Unreadable counts as 0: better one question too many than a lost file.
    if (!platform::readRegistryNumber(context_.productKey, "Overwrite Preset", overwrite))
        overwrite = 0;
    std::error_code error;
    if (overwrite == 0 && std::filesystem::exists(navigator.getPath(), error)) {
        const std::string question =
            "Are you sure you want to replace \"" + PresetList::stem(navigator.getPath()) + "\"?";
        if (!platform::showMessageBox(question, "", 2))
            return;
    }
    if (!navigator.saveCurrent())
        platform::showMessageBox("Can't save preset", "File error", 0);
}

void Preset::onSaveAs()
{
    // The open dialog's backdrop covers this button; a click that reaches it
    // anyway (a script, a host's own event) changes nothing.
    if (saveDialog_)
        return;
    saveDialog_ = std::make_unique<PresetSave>(context_, context_.rootWidget,
                                               navigators_[kDocument]->getPath());
    saveDialog_->closed.connect(
        [this](PresetSave* dialog, bool accepted) { onSaveDialogClosed(dialog, accepted); });
}

void Preset::onSaveDialogClosed(PresetSave* dialog, bool accepted)
{
    if (dialog != saveDialog_.get())
        return;
    if (accepted) {
        if (!navigators_[kDocument]->saveAs(dialog->getTargetPath())) {
            platform::showMessageBox("Can't save preset", "File error", 0);
            return;
        }
        refreshText();
    }
    // The report comes from inside the dialog's own click: it goes once that
    // event is over.
    std::shared_ptr<PresetSave> closing(saveDialog_.release());
    context_.later([closing]() mutable { closing.reset(); });
}

void Preset::onDelete()
{
    const std::string& path = navigators_[kDocument]->getPath();
    if (path.empty())
        return;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        std::filesystem::remove(path, error);
}

void Preset::onPresetFolder()
{
    const std::string folder = context_.presetPath ? context_.presetPath() : std::string();
    if (!folder.empty())
        Application::Utils::openFolderInShell(folder);
}

} // namespace Zq::BorvanRAZ::GUI
