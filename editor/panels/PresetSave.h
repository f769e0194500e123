#pragma once

#include <memory>
#include <string>

#include <boost/signals2/signal.hpp>

#include "editor/binding/UnitGUI.h"
#include "editor/panels/PresetContext.h"

namespace Zq::Application::Widgets {
class CheckBox;
class EditText;
class StaticText;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

class FolderChooser;

// The preset "save as" dialog (layout "PresetSave.xml"), laid over the whole
// editor on a backdrop: a preset name, the folder (chosen through the folder
// chooser), the "Overwrite Preset" preference, and the target path it reports
// through `closed`. It writes nothing but the preference; the preset panel
// writes the preset.
class PresetSave : public Application::DocView::UnitGUI {
public:
    // (the dialog, accepted)
    boost::signals2::signal<void(PresetSave*, bool)> closed;

    // What a name may hold: no dot (so the name never carries an extension of
    // its own), no slash, nothing a file name elsewhere forbids.
    static constexpr const char* kAllowedCharacters =
        " !#$%&'()-0123456789@ABCDEFGHIJKLMNOPQRSTUVWZXY^_`abcdefghijklmnopqrstuvwxyz{|}~";
    static constexpr unsigned kMaxNameLength = 19;

    // An empty current path proposes the preset folder and an empty name;
    // otherwise the path's folder and its stem.
    PresetSave(const PresetContext& context, Application::GUI::Widget* parent,
               const std::string& currentPath);
    // Stores the check box's state as "Overwrite Preset" once more.
    ~PresetSave() override;

    const std::string& getTargetPath() const { return targetPath_; }
    const std::string& getFolder() const { return folder_; }
    const std::string& getName() const { return name_; }
    // The open folder chooser, null when none is.
    FolderChooser* getChooser() const { return chooser_.get(); }

private:
    void onSave();
    void onCancel();
    void onChooseFolder();
    void onFolderChosen(bool confirmed, const std::string& folder);
    void setFolder(const std::string& folder);
    void storeOverwrite();

    const PresetContext& context_;
    std::string folder_;
    Application::Widgets::StaticText* folderText_ = nullptr;
    std::string name_;
    std::string targetPath_;
    Application::Widgets::EditText* nameText_ = nullptr;
    Application::Widgets::CheckBox* overwrite_ = nullptr;
    // The box's state, kept apart: the destructor may run after the editor's
    // widget tree is gone.
    bool overwriteChecked_ = false;
    std::unique_ptr<FolderChooser> chooser_;
};

} // namespace Zq::BorvanRAZ::GUI
