#include "hostfw/ui/epiUiBehaviour.h"

#include "hostfw/ui/epiUbo.h"

bool epiUiBehaviour::onMouseDown(const epiPoint& point)
{
    inside_ = true;
    if (owner_)
        owner_->captureMe();
    return onPress(point);
}

bool epiUiBehaviour::onMouseDrag(const epiPoint& point)
{
    if (!owner_ || !owner_->hasPressedLook())
        return true;
    const bool now = owner_->getBounds().containsPoint(point);
    if (now == inside_)
        return false;
    inside_ = now;
    return now ? onEnter(point) : onLeave(point);
}

bool epiUiBehaviour::onMouseUp(const epiPoint& point)
{
    if (owner_)
        owner_->releaseCapture();
    if (!owner_ || !owner_->hasPressedLook())
        return true;
    const bool handled = inside_ ? onRelease(point) : onCancel(point);
    inside_ = false;
    return handled;
}

void epiUiBehaviour::setAttribute(epiFourCC code, std::intptr_t value)
{
    switch (code) {
    case epiCode("dMin"):
        setPixelMin(static_cast<int>(value));
        break;
    case epiCode("dMax"):
        setPixelMax(static_cast<int>(value));
        break;
    case epiCode("uMin"):
        setMin(static_cast<float>(value) / 100.0f);
        break;
    case epiCode("uMax"):
        setMax(static_cast<float>(value) / 100.0f);
        break;
    default:
        break;
    }
}

void epiUiBehaviour::ownerChanged()
{
    if (owner_)
        owner_->onStateChanged();
}
