#pragma once

#include <memory>
#include <string>

#include "editor/binding/UnitGUI.h"
#include "editor/panels/PresetContext.h"
#include "editor/panels/PresetNavigator.h"

namespace Zq::Application::Widgets {
class AbstractButton;
class Menu;
} // namespace Zq::Application::Widgets

namespace Zq::BorvanRAZ::GUI {

class PresetSave;

// The preset browser of the editor's upper bar (layout "Preset.xml"): the
// current preset's name, previous and next, the menu of the preset folder,
// save, save as, delete and the folder button. Four navigators keep a preset
// position each: the whole document's, which the controls drive, and those of
// the stomp, amplifier and cabinet units, built and reset with it.
//
// Runs on the editor's thread, inside its events. Throws what the layout's
// lookups throw when a widget is missing.
class Preset : public Application::DocView::UnitGUI {
public:
    enum NavigatorIndex { kDocument = 0, kStomp = 1, kAmp = 2, kCab = 3 };

    Preset(const PresetContext& context, Application::GUI::Widget* parent);
    ~Preset() override;

    PresetNavigator& getNavigator(int which) { return *navigators_[which]; }
    // The open save dialog, null when none is.
    PresetSave* getSaveDialog() const { return saveDialog_.get(); }
    Application::Widgets::Menu* getMenu() const { return menu_; }

private:
    void refreshText();
    void resetModules();
    void onDocumentNameChanged();
    void onMenuItemChosen(int index, Application::Widgets::Menu* menu);
    void onSave();
    void onSaveAs();
    void onDelete();
    void onMenuButton();
    void onUp();
    void onDown();
    void onPresetFolder();
    void onSaveDialogClosed(PresetSave* dialog, bool accepted);
    void rebuildMenu();
    void connectMenu(Application::Widgets::Menu* menu);
    Application::Widgets::AbstractButton* button(const std::string& name);

    const PresetContext& context_;
    Application::Widgets::Menu* menu_ = nullptr;
    std::unique_ptr<PresetSave> saveDialog_;
    std::unique_ptr<PresetNavigator> navigators_[4];
    boost::signals2::scoped_connection nameChanged_;
};

} // namespace Zq::BorvanRAZ::GUI
