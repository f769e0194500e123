#include "host/player/ejpPlayerRotary.h"

#include "hostfw/app/epiKeyboard.h"
#include "hostfw/ui/epiUiBehaviour.h"

namespace player {

void ejpPlayerRotary::setAttribute(epiFourCC code, std::intptr_t value)
{
    if (code == epiCode("dflt")) {
        default_ = static_cast<int>(value);
        return;
    }
    epiUiBitmapRotary::setAttribute(code, value);
}

bool ejpPlayerRotary::resetHeld() const
{
    const epiKeyboard* keys = keyboard();
    return keys && keys->getControl();
}

bool ejpPlayerRotary::fineHeld() const
{
    const epiKeyboard* keys = keyboard();
    return keys && keys->getShift();
}

void ejpPlayerRotary::onMouseDown(const epiPoint& point)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (!behaviour || !isInteractive())
        return;
    if (resetHeld()) {
        // The value is set even when it stands at the default already, so
        // that the panel shows its text again.
        behaviour->setValue(static_cast<float>(default_));
        dragging_ = false;
        reportHit();
        return;
    }
    start_ = point;
    startValue_ = behaviour->getValue();
    fine_ = fineHeld();
    dragging_ = true;
    captureMe();
}

void ejpPlayerRotary::onMouseDrag(const epiPoint& point)
{
    epiUiBehaviour* behaviour = getBehaviour();
    if (!dragging_ || !behaviour)
        return;
    const float step = getSensitivity() * (fine_ ? kFineFactor : 1.0f);
    if (behaviour->setValue(startValue_ + static_cast<float>(start_.y - point.y) * step))
        reportHit();
}

void ejpPlayerRotary::onMouseUp(const epiPoint& point)
{
    if (!dragging_)
        return;
    onMouseDrag(point);
    dragging_ = false;
    releaseCapture();
}

} // namespace player
