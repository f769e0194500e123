#pragma once

#include <string>
#include <vector>

#include "editor/binding/UnitGUI.h"
#include "editor/panels/PresetContext.h"
#include "editor/resources/Shell.h"

namespace Zq::Application::Widgets {
class Menu;
class StaticText;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

// The editor's folder chooser (layout "FolderChooser.xml"), drawn with its own
// widgets over the whole editor on a backdrop: the current folder, a menu of
// its sub-folders ("FolderMenuButton" opens it, a choice enters the folder),
// "UpButton" to the parent, "OKButton" and "CancelButton". It never blocks:
// the answer comes through the callback of browse, once; the owner deletes
// the chooser afterwards (not from inside the callback).
class FolderChooser : public Application::DocView::UnitGUI,
                      public Application::Utils::FolderSelect {
public:
    FolderChooser(const PresetContext& context, Application::GUI::Widget* parent);
    ~FolderChooser() override;

    void browse(const std::string& rootFolder, const std::string& folder, Done done) override;

    const std::string& getFolder() const { return folder_; }
    // The sub-folders of the current folder, as the menu lists them.
    const std::vector<std::string>& getSubFolders() const { return subFolders_; }
    Application::Widgets::Menu* getMenu() const { return menu_; }

private:
    void enter(const std::string& folder);
    void onMenuButton();
    void onChosen(int index);
    void onUp();
    void finish(bool confirmed);

    Application::Widgets::StaticText* folderText_ = nullptr;
    Application::Widgets::Menu* menu_ = nullptr;
    std::string folder_;
    std::vector<std::string> subFolders_;
    Done done_;
};

} // namespace Zq::BorvanRAZ::GUI
