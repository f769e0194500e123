#include "editor/panels/TunerModule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>

#include "editor/panels/Main.h"
#include "editor/panels/NoteNames.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/EditText.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

TunerModule::TunerModule(Main& root, Application::GUI::Widget* parent)
    : Module(TunerId, root, parent, "Tuner.xml")
{
    find("Light", light_);
    find("TuneLabel", tuneLabel_);
    find("CentsLabel", centsLabel_);
    find("TuneReference", reference_);
    find("ArrowLeft", arrowLeft_);
    find("ArrowRight", arrowRight_);
    find("TunerPointer", tunerPointer_);
    light_->hide();
    light_->setMinValue(-50.0f);
    light_->setMaxValue(50.0f);
    Document::TunerModule& tuner = getDocument().getTuner();
    addCheckBox("BypassSwitch", &tuner.bypass);
    addCheckBox("MuteSwitch", &tuner.mute);
    connect(reference_->focusGained, [this](auto*) { placeCaret(); });
    connect(reference_->focusLost, [this](auto*) { applyReference(); });
    connect(reference_->committed, [this](auto*) { applyReference(); });
    connect(reference_->cancelled, [this](auto*) { showReference(); });
    reference_->setMaxLength(6);
    reference_->setAllowedCharacters("0123456789.");
    centsText_.reserve(16);
    showReference();
    // A tuner switched off shows nothing from the first frame on.
    update();
}

void TunerModule::showReference()
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f",
                  static_cast<double>(getDocument().getTuner().reference.getValue()));
    reference_->setText(text);
}

void TunerModule::applyReference()
{
    // The field's own text, read as a number whatever the host's locale.
    std::istringstream in(reference_->getText());
    in.imbue(std::locale::classic());
    float value = 0.0f;
    in >> value;
    if (value >= 425.0f && value <= 455.0f)
        getDocument().getTuner().reference.setValue(value, true);
    showReference();
}

void TunerModule::placeCaret()
{
    reference_->onKey(reference_, Application::Graphics::KeyboardButtons::End, 0, 0);
    reference_->onKey(reference_, Application::Graphics::KeyboardButtons::Left, 0, 0);
}

void TunerModule::update()
{
    Document::TunerModule& tuner = getDocument().getTuner();
    Application::GUI::Widget* display[] = {light_,     tuneLabel_,  centsLabel_,
                                           arrowLeft_, arrowRight_, tunerPointer_};
    if (tuner.displayOff.getValue() == 1.0f || tuner.bypass.getValue() == 1.0f) {
        for (Application::GUI::Widget* widget : display)
            widget->hide();
        return;
    }
    const float deviation = tuner.deviation.getValue();
    light_->setValue(deviation * 50.0f);
    const bool inTune = deviation >= -0.04f && deviation <= 0.04f;
    arrowLeft_->setChecked(inTune);
    arrowRight_->setChecked(inTune);
    tunerPointer_->setChecked(inTune);
    tuneLabel_->setText(noteName(tuner.note.getValue()));
    const float cents = tuner.cents.getValue();
    const int whole =
        std::isfinite(cents) ? static_cast<int>(std::trunc(std::clamp(cents, -999.0f, 999.0f))) : 0;
    char text[16];
    std::snprintf(text, sizeof text, "%+03d", whole);
    centsText_.assign(text);
    centsLabel_->setText(centsText_);
    for (Application::GUI::Widget* widget : display)
        widget->show();
}

} // namespace Zq::BorvanRAZ::GUI
