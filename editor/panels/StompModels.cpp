#include "editor/panels/StompModels.h"

#include "editor/panels/Main.h"
#include "plugin/rig/StompModels.h"

namespace Zq::BorvanRAZ::GUI {

StompOverdrive::StompOverdrive(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompOverdrive.xml")
{
    auto& model = pedal<Document::StompOverdrive>();
    addKnob("TextureKnob", &model.texture);
    addKnob("BalanceKnob", &model.balance);
    addStaticTextValue(root.getSelectedValueText(), &model.texture, 1, "");
    addStaticTextValue(root.getSelectedValueText(), &model.balance, 1, "");
    model.texture.notifyChanged();
}

} // namespace Zq::BorvanRAZ::GUI
