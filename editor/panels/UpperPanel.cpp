#include "editor/panels/UpperPanel.h"

#include "editor/panels/Main.h"

namespace Zq::BorvanRAZ::GUI {

UpperPanel::UpperPanel(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "UpperPanel.xml")
{
    Application::GUI::Widget* presetArea = nullptr;
    find("PresetArea", presetArea);
    preset_ = std::make_unique<Preset>(root.getPresetContext(), presetArea);
    navigator_ = buildIn<ChainNavigator>("ChainArea");
    ampSelector_ = buildIn<AmpSelector>("AmpSelectorArea");
    bypassMute_ = buildIn<GeneralBypassMute>("BypassMuteArea");
}

UpperPanel::~UpperPanel()
{
    preset_.reset();
    navigator_.reset();
    bypassMute_.reset();
    ampSelector_.reset();
}

} // namespace Zq::BorvanRAZ::GUI
