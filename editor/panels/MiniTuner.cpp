#include "editor/panels/MiniTuner.h"

#include <algorithm>
#include <cmath>

#include "editor/panels/Main.h"
#include "editor/panels/NoteNames.h"
#include "editor/widgets/CheckBox.h"
#include "editor/widgets/Knob.h"
#include "editor/widgets/StaticText.h"
#include "plugin/rig/Rig.h"

namespace Zq::BorvanRAZ::GUI {

MiniTuner::MiniTuner(Main& root, Application::GUI::Widget* parent)
    : Panel(root, parent, "MiniTuner.xml")
{
    find("Light", light_);
    find("TuneLabel", tuneLabel_);
    find("TunerPointer", tunerPointer_);
    light_->setMinValue(-50.0f);
    light_->setMaxValue(50.0f);
    // Across the whole scale in half a second.
    speed_ = 2.0 * (light_->getMaxValue() - light_->getMinValue());
    lastTime_ = root.now();
    // A tuner switched off shows nothing from the first frame on.
    update();
}

void MiniTuner::setShown(bool shown)
{
    for (Application::GUI::Widget* widget : {static_cast<Application::GUI::Widget*>(light_),
                                             static_cast<Application::GUI::Widget*>(tuneLabel_),
                                             static_cast<Application::GUI::Widget*>(tunerPointer_)})
        shown ? widget->show() : widget->hide();
}

void MiniTuner::update()
{
    const double now = getRoot().now();
    Document::TunerModule& tuner = getDocument().getTuner();
    if (tuner.displayOff.getValue() == 1.0f || tuner.bypass.getValue() == 1.0f) {
        setShown(false);
        lastTime_ = now;
        return;
    }
    double target = tuner.cents.getValue();
    // A detector glitch must not leave the needle stuck on a NaN.
    if (!std::isfinite(target))
        target = 0.0;
    lastTarget_ = target;
    const double step = std::max(now - lastTime_, 0.0) * speed_;
    position_ = target > position_ ? std::min(position_ + step, target)
                                   : std::max(position_ - step, target);
    light_->setValue(static_cast<float>(position_));
    tunerPointer_->setChecked(position_ >= -2.0 && position_ <= 2.0);
    tuneLabel_->setText(noteName(tuner.note.getValue()));
    setShown(true);
    lastTime_ = now;
}

} // namespace Zq::BorvanRAZ::GUI
