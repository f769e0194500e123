#include "editor/panels/Output.h"

#include <algorithm>
#include <cmath>

#include "editor/panels/Main.h"
#include "editor/panels/MeterScale.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/PushButton.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

MixAdapterStaticTextValue::MixAdapterStaticTextValue(Application::DocView::Parameter* parameter,
                                                     Application::Widgets::StaticText* text)
    : AdapterStaticTextValue(parameter, text, 0, "%")
{
}

void MixAdapterStaticTextValue::show(const Application::DocView::Parameter& parameter)
{
    static const std::string amp = "Amp";
    static const std::string direct = "Direct";
    const float value = parameter.getValue();
    if (value > 99.0f)
        text_->setText(amp);
    else if (value < 1.0f)
        text_->setText(direct);
    else
        AdapterStaticTextValue::show(parameter);
}

Output::Output(Main& root, Application::GUI::Widget* parent,
               Application::Widgets::StaticText* valueText)
    : Panel(root, parent, "Output.xml"), valueText_(valueText)
{
    Document::Output& output = getDocument().getOutput();
    addKnob("MasterKnob", &output.master);
    addKnob("PhaseKnob", &output.phase);
    addKnob("MixKnob", &output.mix);
    connect(root.moduleChanged, [this](int moduleId) { moduleShown(moduleId); });
    moduleShown(root.getModule());
    find("OutMeter", meter_);
    meter_->setMinValue(-62.0f);
    meter_->setMaxValue(0.0f);
    addStaticTextValuedB(valueText_, &output.master, 1);
    addStaticTextValue(valueText_, &output.phase, 1, "ms");
    auto mix = std::make_unique<MixAdapterStaticTextValue>(&output.mix, valueText_);
    addAdapter(std::move(mix));
    find("ClipLed", clipLed_);
    Application::Widgets::PushButton* clipButton = nullptr;
    find("ClipButton", clipButton);
    connect(clipButton->clicked, [this](auto*, const auto&) { clipLed_->setChecked(false); });
    // The first frame shows the levels as they are, not a full ladder.
    update();
}

void Output::moduleShown(int moduleId)
{
    removeAdapter(volume_);
    removeAdapter(volumeText_);
    volume_ = nullptr;
    volumeText_ = nullptr;
    if (moduleId == NoModule)
        return;
    Application::DocView::Parameter* volume = &getDocument().getUnit(moduleId)->outputVolume;
    volume_ = addKnob("VolumeKnob", volume);
    volumeText_ = addStaticTextValuedB(valueText_, volume, 1);
}

void Output::update()
{
    const Document::Output& output = getDocument().getOutput();
    const float left = output.outputLevelMeterL.getValue();
    const float right = output.outputLevelMeterR.getValue();
    meter_->setValue(meterPosition((left + right) * 0.5f));
    // A NaN compares false and lights nothing; an infinite level is a clip.
    if (std::max(left, right) > 1.0f)
        clipLed_->setChecked(true);
}

} // namespace Zq::BorvanRAZ::GUI
