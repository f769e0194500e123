#include "editor/panels/UpperPanel.h"

namespace Zq::BorvanRAZ::GUI {

UpperPanel::UpperPanel(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "UpperPanel.xml")
{
    Application::GUI::Widget* presetArea = nullptr;
    find("PresetArea", presetArea);
    navigator_ = buildIn<ChainNavigator>("ChainArea");
    ampSelector_ = buildIn<AmpSelector>("AmpSelectorArea");
    bypassMute_ = buildIn<GeneralBypassMute>("BypassMuteArea");
}

UpperPanel::~UpperPanel()
{
    navigator_.reset();
    bypassMute_.reset();
    ampSelector_.reset();
}

} // namespace Zq::BorvanRAZ::GUI
