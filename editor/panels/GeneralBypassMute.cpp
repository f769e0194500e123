#include "editor/panels/GeneralBypassMute.h"

#include "editor/panels/Main.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

GeneralBypassMute::GeneralBypassMute(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "GeneralBypassMute.xml")
{
    connect(root.moduleChanged, [this](int moduleId) { moduleShown(moduleId); });
    moduleShown(root.getModule());
}

void GeneralBypassMute::moduleShown(int moduleId)
{
    removeAdapter(bypass_);
    removeAdapter(mute_);
    bypass_ = nullptr;
    mute_ = nullptr;
    if (moduleId == NoModule)
        return;
    // The members, not the named table: the tuner keeps its switches out of it.
    Document::MacroModule* unit = getDocument().getUnit(moduleId);
    bypass_ = addCheckBox("BypassButton", &unit->bypass);
    mute_ = addCheckBox("MuteButton", &unit->mute);
}

} // namespace Zq::BorvanRAZ::GUI
