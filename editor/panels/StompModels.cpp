#include "editor/panels/StompModels.h"

#include <cmath>

#include "editor/panels/AdapterStaticTextMeter.h"
#include "editor/panels/Main.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/MultiStateButton.h"
#include "plugin/rig/StompModels.h"

namespace Zq::BorvanRAZ::GUI {

using Application::DocView::Parameter;

namespace {

int whole(float value)
{
    return std::isfinite(value)
               ? static_cast<int>(std::trunc(std::fmax(-1e6f, std::fmin(value, 1e6f))))
               : -1;
}

} // namespace

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

StompOctaver::StompOctaver(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompOctaver.xml")
{
    auto& model = pedal<Document::StompOctaver>();
    addKnob("OctaveKnob", &model.octave);
    addKnob("DirectKnob", &model.direct);
    addStaticTextValue(root.getSelectedValueText(), &model.octave, 1, "");
    addStaticTextValue(root.getSelectedValueText(), &model.direct, 1, "");
    model.direct.notifyChanged();
}

StompRI1::StompRI1(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompRI1.xml")
{
    auto& model = pedal<Document::StompRI1>();
    addKnob("LevelKnob", &model.level);
    addKnob("ChorusKnob", &model.chorus);
    addKnob("VibratoDepthKnob", &model.vibratoDepth);
    addKnob("VibratoRateKnob", &model.vibratoRate);
    addCheckBox("VibratoSwitch", &model.mode);
    addCheckBox("ChorusSwitch", &model.mode);
    addCheckBox("VCSwitch", &model.mode);
    addStaticTextValuedB(root.getSelectedValueText(), &model.level, 1);
    addStaticTextValue(root.getSelectedValueText(), &model.chorus, 1, "");
    addStaticTextValue(root.getSelectedValueText(), &model.vibratoDepth, 1, "");
    addStaticTextValue(root.getSelectedValueText(), &model.vibratoRate, 1, "");
    model.level.notifyChanged();
}

StompMemoryMan::StompMemoryMan(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompMemoryMan.xml")
{
    auto& model = pedal<Document::StompMemoryMan>();
    addKnob("DelayKnob", &model.delay);
    addKnob("FeedbackKnob", &model.feedback);
    addKnob("BlendKnob", &model.blend);
    addKnob("ChVibKnob", &model.chVib);
    addCheckBox("VibratoSwitch", &model.mode);
    addCheckBox("ChorusSwitch", &model.mode);
    addCheckBox("VCSwitch", &model.mode);
    addMultiStateButton("BPMSwitch", &model.bpm);
    addKnob("DelayBPMKnob", &model.delayBpm);
    find("DelayKnob", delayKnob_);
    find("DelayBPMKnob", delayBpmKnob_);
    delayText_ = addStaticTextValue(root.getSelectedValueText(), &model.delay, 1, "ms");
    addStaticTextValue(root.getSelectedValueText(), &model.feedback, 0, "%");
    addStaticTextValue(root.getSelectedValueText(), &model.blend, 0, "%");
    addStaticTextValue(root.getSelectedValueText(), &model.chVib, 0, "%");
    noteText_ = addStaticTextMeter(root.getSelectedValueText(), &model.delayBpm);
    connect(model.bpm.changed, [this](Parameter*) { bpmChanged(); });
    bpmChanged();
}

void StompMemoryMan::bpmChanged()
{
    if (pedal<Document::StompMemoryMan>().bpm.getValue() == 0.0f) {
        delayKnob_->show();
        delayBpmKnob_->hide();
        delayText_->setDisabled(false);
        noteText_->setDisabled(true);
        delayText_->update();
    } else {
        delayKnob_->hide();
        delayBpmKnob_->show();
        delayText_->setDisabled(true);
        noteText_->setDisabled(false);
        noteText_->update();
    }
}

StompWah::StompWah(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompWah.xml")
{
    model_ = &pedal<Document::StompWah>();
    find("ModeSwitch", modeSwitch_);
    addKnob("WahPedal", &model_->wah);
    addCheckBox("OffLed", &model_->bypass);
    find("AutoLed", autoLed_);
    find("OnLed", onLed_);
    addStaticTextValue(root.getSelectedValueText(), &model_->wah, 0, "%");
    connect(model_->mode.changed, [this](Parameter*) { modeChanged(); });
    connect(model_->bypass.changed, [this](Parameter*) { bypassChanged(); });
    connect(modeSwitch_->stateChanged, [this](auto*, int state) { switchChanged(state); });
    modeChanged();
    showLamps(modeSwitch_->getState());
    model_->wah.notifyChanged();
}

void StompWah::modeChanged()
{
    if (switchBusy_ || model_->bypass.getValue() != 0.0f)
        return;
    modeSwitch_->setState(whole(model_->mode.getValue()) + 1);
}

void StompWah::bypassChanged()
{
    if (switchBusy_)
        return;
    modeSwitch_->setState(model_->bypass.getValue() == 0.0f ? 1 : 0);
}

void StompWah::switchChanged(int state)
{
    switchBusy_ = true;
    if (state == 0) {
        model_->bypass.setValue(1.0f, true);
    } else {
        model_->bypass.setValue(0.0f, true);
        model_->mode.setValue(static_cast<float>(state - 1), true);
    }
    switchBusy_ = false;
    showLamps(state);
}

void StompWah::showLamps(int state)
{
    const bool automatic = whole(model_->mode.getValue()) != 0;
    onLed_->setChecked(state != 0 && !automatic);
    autoLed_->setChecked(state != 0 && automatic);
}

StompDynaComp::StompDynaComp(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompDynaComp.xml")
{
    auto& model = pedal<Document::StompDynaComp>();
    addKnob("OutputKnob", &model.output);
    addKnob("SensitivityKnob", &model.sensitivity);
    addStaticTextValuedB(root.getSelectedValueText(), &model.output, 2);
    addStaticTextValue(root.getSelectedValueText(), &model.sensitivity, 1, "");
    model.output.notifyChanged();
}

StompEnvelopeFilter::StompEnvelopeFilter(unsigned slot, Main& root,
                                         Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompEnvelopeFilter.xml")
{
    auto& model = pedal<Document::StompEnvelopeFilter>();
    addKnob("FreqKnob", &model.freq);
    addKnob("ResonanceKnob", &model.reso);
    addKnob("DepthKnob", &model.depth);
    addMultiStateButton("PoleModeSwitch", &model.poleMode);
    addMultiStateButton("BandModeSwitch", &model.bandMode);
    find("BPLed", bpLed_);
    find("LPLed", lpLed_);
    find("HPLed", hpLed_);
    addStaticTextValue(root.getSelectedValueText(), &model.freq, 1, "Hz");
    addStaticTextValue(root.getSelectedValueText(), &model.reso, 1, "");
    addStaticTextValue(root.getSelectedValueText(), &model.depth, 0, "%");
    connect(model.bandMode.changed, [this](Parameter*) { bandModeChanged(); });
    bandModeChanged();
    model.freq.notifyChanged();
}

void StompEnvelopeFilter::bandModeChanged()
{
    const int band = whole(pedal<Document::StompEnvelopeFilter>().bandMode.getValue());
    if (band < 0 || band > 2)
        return;
    hpLed_->setChecked(band == 0);
    bpLed_->setChecked(band == 1);
    lpLed_->setChecked(band == 2);
}

StompVolume::StompVolume(unsigned slot, Main& root, Application::GUI::Widget* parent)
    : StompBox(slot, root, parent, "StompVolume.xml")
{
    auto& model = pedal<Document::StompVolume>();
    addKnob("VolumePedal", &model.volume);
    addKnob("MinLevelKnob", &model.minLevel);
    addMultiStateButton("ModeSwitch", &model.bypass);
    addStaticTextValue(root.getSelectedValueText(), &model.volume, 0, "%");
    addStaticTextValue(root.getSelectedValueText(), &model.minLevel, 1, "");
    model.volume.notifyChanged();
}

} // namespace Zq::BorvanRAZ::GUI
