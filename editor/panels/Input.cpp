#include "editor/panels/Input.h"

#include "editor/panels/MeterScale.h"
#include "editor/widgets/Knob.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

Input::Input(Main& root, Application::GUI::Widget* parent) : Panel(root, parent, "Input.xml")
{
    find("InMeter", meter_);
    meter_->setMinValue(-62.0f);
    meter_->setMaxValue(0.0f);
    // The first frame shows the levels as they are, not a full ladder.
    update();
}

void Input::update()
{
    meter_->setValue(meterPosition(getDocument().getInput().inputLevelMeter.getValue()));
}

} // namespace Zq::BorvanRAZ::GUI
