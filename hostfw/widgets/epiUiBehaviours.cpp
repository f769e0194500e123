#include "hostfw/widgets/epiUiBehaviours.h"

#include "hostfw/app/epiWindowManager.h"
#include "hostfw/ui/epiUbo.h"

#include <algorithm>
#include <cmath>

// ------------------------------------------------------------------ buttons

bool epiUiBehave_button::onPress(const epiPoint&)
{
    if (!enabled_)
        return false;
    epiUbo* owner = getOwner();
    if (owner && owner->hasPressedLook()) {
        pressed_ = true;
        ownerChanged();
    } else if (owner) {
        owner->activate();
    }
    return true;
}

bool epiUiBehave_button::onEnter(const epiPoint&)
{
    if (enabled_) {
        pressed_ = true;
        ownerChanged();
    }
    return true;
}

bool epiUiBehave_button::onLeave(const epiPoint&)
{
    if (enabled_) {
        pressed_ = false;
        ownerChanged();
    }
    return true;
}

bool epiUiBehave_button::onRelease(const epiPoint&)
{
    if (enabled_) {
        pressed_ = false;
        ownerChanged();
        if (epiUbo* owner = getOwner())
            owner->activate();
    }
    return true;
}

void epiUiBehave_button::setPressed(bool pressed)
{
    if (pressed == pressed_)
        return;
    pressed_ = pressed;
    ownerChanged();
}

void epiUiBehave_button::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    ownerChanged();
}

bool epiUiBehave_button::setEnabled(bool enabled)
{
    enabled_ = enabled;
    return true;
}

void epiUiBehave_button::press()
{
    pressed_ = true;
    ownerChanged();
    if (epiUbo* owner = getOwner())
        owner->activate();
    addTimedTask(kPressSeconds, true, false);
}

void epiUiBehave_button::onTimedTask()
{
    pressed_ = false;
    ownerChanged();
}

bool epiUiBehave_checkBox::activate()
{
    epiUbo* owner = getOwner();
    if (enabled_ && owner) {
        owner->setValue(owner->getValue() == 0 ? 1 : 0);
        ownerChanged();
        owner->reportHit();
    }
    return true;
}

bool epiUiBehave_checkBox::onRelease(const epiPoint&)
{
    pressed_ = false;
    if (epiUbo* owner = getOwner())
        owner->activate();
    return true;
}

bool epiUiBehave_radio::activate()
{
    epiUbo* owner = getOwner();
    if (enabled_ && owner && owner->getParent() && owner->getGroup() != 0)
        owner->getParent()->selectInGroup(owner->getGroup(), owner->getGroupIndex(), 1, true);
    return true;
}

bool epiUiBehave_radio::onRelease(const epiPoint&)
{
    pressed_ = false;
    if (epiUbo* owner = getOwner())
        owner->activate();
    return true;
}

// ----------------------------------------------------------------- draggers

bool epiUiBehaviourDragger::setFromPixel(int pixel)
{
    // Every pixel of an empty span (a film of one frame) means the minimum.
    if (pixMax_ == pixMin_)
        return setValue(min_);
    const double span = static_cast<double>(pixMax_) - pixMin_;
    return setValue(static_cast<float>(
        (static_cast<double>(pixel) - pixMin_) * (static_cast<double>(max_) - min_) / span + min_));
}

bool epiUiBehaviourDragger::setValue(float x)
{
    if (std::isnan(x))
        return false;
    x = std::min(std::max(x, min_), max_);
    if (lowerLimitOn_ && x < lowerLimit_)
        x = lowerLimit_;
    if (upperLimitOn_ && x > upperLimit_)
        x = upperLimit_;
    if (x == value_)
        return false;
    value_ = x;
    // The position is worked out in double and clamped before it becomes an
    // integer: a value span of zero puts it at pixMin.
    double p = pixMin_;
    if (max_ != min_) {
        p = pixMin_ + (static_cast<double>(pixMax_) - pixMin_) * (static_cast<double>(x) - min_) /
                          (static_cast<double>(max_) - min_);
        // A thousandth of a pixel of slack: the float value that a pixel
        // maps to must map back to that pixel, not to the one below it.
        p = std::trunc(p + 1e-3);
    }
    const double low = std::min(pixMin_, pixMax_);
    const double high = std::max(pixMin_, pixMax_);
    p = std::min(std::max(p, low), high);
    const int position = static_cast<int>(p);
    if (position == position_)
        return true;
    position_ = position;
    onValueChanged();
    return true;
}

void epiUiBehaviourDragger::setAttribute(epiFourCC code, std::intptr_t value)
{
    switch (code) {
    case epiCode("lMin"):
        lowerLimitOn_ = true;
        lowerLimit_ = static_cast<float>(value) / 100.0f;
        break;
    case epiCode("lMax"):
        upperLimitOn_ = true;
        upperLimit_ = static_cast<float>(value) / 100.0f;
        break;
    default:
        epiUiBehaviour::setAttribute(code, value);
        break;
    }
}

void epiUiBehaviourDragger::onValueChanged()
{
    ownerChanged();
}

// -------------------------------------------------------- smoothing dragger

void epiUiBehaviourSmoothDragger::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("Smoo"))
        smoothing_ = static_cast<float>(value) / 100.0f;
    else
        epiUiBehaviourDragger::setAttribute(code, value);
}

void epiUiBehaviourSmoothDragger::onValueChanged()
{
    if (position_ == targetPosition_)
        return;
    epiUbo* owner = getOwner();
    epiWindowManager* manager = owner ? owner->windowManager() : nullptr;
    // Without smoothing, or without a window manager to tick it, the shown
    // position jumps.
    if (smoothing_ == 0.0f || !manager) {
        if (animating_)
            stopAnimation();
        shownPosition_ = targetPosition_ = position_;
        ownerChanged();
        return;
    }
    const int oldTarget = targetPosition_;
    targetPosition_ = position_;
    if (!animating_) {
        startPosition_ = shownPosition_;
        animating_ = true;
        startAnimation();
    } else if ((oldTarget > shownPosition_) != (targetPosition_ > shownPosition_)) {
        startPosition_ = shownPosition_;
        restartAnimation();
    }
}

void epiUiBehaviourSmoothDragger::animationTick(double seconds, int)
{
    const double span = std::abs(static_cast<double>(pixMax_) - pixMin_);
    const double travel = std::abs(static_cast<double>(smoothing_)) * span * seconds;
    int next = targetPosition_;
    // An empty span or a nonsensical time lands on the target at once.
    if (span > 0.0 && std::isfinite(travel)) {
        if (shownPosition_ < targetPosition_)
            next = static_cast<int>(
                std::min(startPosition_ + travel, static_cast<double>(targetPosition_)));
        else if (shownPosition_ > targetPosition_)
            next = static_cast<int>(
                std::max(startPosition_ - travel, static_cast<double>(targetPosition_)));
    }
    if (next == targetPosition_)
        stopAnimation();
    if (next != shownPosition_) {
        shownPosition_ = next;
        ownerChanged();
    }
}

void epiUiBehaviourSmoothDragger::exit()
{
    stopAnimation();
    removeTimedTask();
    epiUiBehaviourDragger::exit();
}

void epiUiBehaviourSmoothDragger::startAnimation()
{
    if (epiUbo* owner = getOwner()) {
        if (epiWindowManager* manager = owner->windowManager())
            manager->addAnimated(this, false);
    }
}

void epiUiBehaviourSmoothDragger::restartAnimation()
{
    if (epiUbo* owner = getOwner()) {
        if (epiWindowManager* manager = owner->windowManager())
            manager->restartAnimated(this);
    }
}

void epiUiBehaviourSmoothDragger::stopAnimation()
{
    animating_ = false;
    if (epiUbo* owner = getOwner()) {
        if (epiWindowManager* manager = owner->windowManager())
            manager->removeAnimated(this);
    }
}

// -------------------------------------------------------- triggered dragger

bool epiUiBehaviourTriggeredDragger::setValue(float x)
{
    if (std::isnan(x) || steps_.empty())
        return false;
    const double last = static_cast<double>(steps_.size()) - 1.0;
    const int index = static_cast<int>(std::min(std::max(std::trunc(double(x)), 0.0), last));
    if (index == index_)
        return false;
    index_ = index;
    position_ = steps_[static_cast<std::size_t>(index)];
    onValueChanged();
    return true;
}

void epiUiBehaviourTriggeredDragger::setAttribute(epiFourCC code, std::intptr_t value)
{
    const epiFourCC base = epiCode("FrP0");
    if (code >= base && code <= base + 9)
        setStep(static_cast<int>(code - base), static_cast<int>(value));
    else
        epiUiBehaviourSmoothDragger::setAttribute(code, value);
}

void epiUiBehaviourTriggeredDragger::setStep(int index, int position)
{
    if (index < 0)
        return;
    const auto entry = static_cast<std::size_t>(index);
    if (index == 0)
        steps_.clear();
    if (index > 0 && position == 0) {
        if (steps_.size() > entry)
            steps_.resize(entry);
    } else {
        if (steps_.size() < entry + 1)
            steps_.resize(entry + 1, 0);
        steps_[entry] = position;
    }
    min_ = 0.0f;
    max_ = static_cast<float>(steps_.size()) - 1.0f;
}
