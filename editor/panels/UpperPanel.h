#pragma once

#include <memory>

#include "editor/panels/AmpSelector.h"
#include "editor/panels/ChainNavigator.h"
#include "editor/panels/GeneralBypassMute.h"
#include "editor/panels/Preset.h"

namespace Zq::BorvanRAZ::GUI {

// The bar along the top of the editor, over the editor's whole background:
// the preset area, the chain navigator, the amplifier selector and the
// general bypass and mute switches.
class UpperPanel : public Panel {
public:
    UpperPanel(Main& root, Application::GUI::Widget* parent);
    ~UpperPanel() override;

    ChainNavigator* getChainNavigator() const noexcept { return navigator_.get(); }
    AmpSelector* getAmpSelector() const noexcept { return ampSelector_.get(); }
    GeneralBypassMute* getBypassMute() const noexcept { return bypassMute_.get(); }
    Preset* getPreset() const noexcept { return preset_.get(); }

private:
    std::unique_ptr<Preset> preset_;
    std::unique_ptr<ChainNavigator> navigator_;
    std::unique_ptr<AmpSelector> ampSelector_;
    std::unique_ptr<GeneralBypassMute> bypassMute_;
};

} // namespace Zq::BorvanRAZ::GUI
