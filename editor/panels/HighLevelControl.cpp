#include "editor/panels/HighLevelControl.h"

#include <memory>
#include <string>

#include "editor/panels/CabModule.h"
#include "editor/panels/Main.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

void HighLevelAdapter::show(const Application::DocView::Parameter& parameter)
{
    if (parameter.getValue() < kSilence) {
        // One string for every update: showing it allocates nothing.
        static const std::string minusInfinity = "-Inf";
        text_->setText(minusInfinity);
        return;
    }
    AdapterStaticTextValuedB::show(parameter);
}

HighLevelControl::HighLevelControl(Main& root, Application::GUI::Widget* parent, CabModule& owner)
    : Panel(root, parent,
            cabinetLayouts(root.getDocument().getCabModule().cabinetModel.getValue()).back)
{
    Application::Widgets::PushButton* background = nullptr;
    find("BackgroundButton", background);
    connect(background->clicked, [&owner](Application::Widgets::AbstractButton*, const auto&) {
        owner.closeBackPanel();
    });
    Application::DocView::Parameter* level = &getDocument().getCabModule().highLevel;
    addKnob("HighLevelControl", level);
    auto adapter = std::make_unique<HighLevelAdapter>(level, root.getSelectedValueText(), 1);
    addAdapter(std::move(adapter));
}

} // namespace Zq::BorvanRAZ::GUI
