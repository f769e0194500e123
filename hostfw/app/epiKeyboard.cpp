#include "hostfw/app/epiKeyboard.h"

#include "hostfw/ui/epiUbo.h"
#include "platform/EventPump.h"

void epiKeyboard::setMouseState(const platform::PumpEvent& event)
{
    using namespace platform;
    shift_ = (event.modifiers & kModShift) != 0;
    control_ = (event.modifiers & kModControl) != 0;
    alt_ = (event.modifiers & kModAlt) != 0;
    // The state of a button event is the state before it: the event's own
    // button is added for a press and taken off for a release.
    leftButton_ = (event.modifiers & kButton1Mask) != 0;
    middleButton_ = (event.modifiers & kButton2Mask) != 0;
    rightButton_ = (event.modifiers & kButton3Mask) != 0;
    const bool press = event.type == PumpEventType::ButtonPress;
    const bool release = event.type == PumpEventType::ButtonRelease;
    mouseEvent_ = 0;
    if (!press && !release)
        return;
    switch (event.button) {
    case 1:
        leftButton_ = press;
        mouseEvent_ = press ? epiCode("mLdn") : epiCode("mLup");
        break;
    case 2:
        middleButton_ = press;
        mouseEvent_ = press ? epiCode("mCdn") : epiCode("mCup");
        break;
    case 3:
        rightButton_ = press;
        mouseEvent_ = press ? epiCode("mRdn") : epiCode("mRup");
        break;
    default:
        break;
    }
}

int epiKeyboard::keyCode(const platform::PumpEvent& event)
{
    using namespace platform;
    switch (event.keysym) {
    case kKeyPageUp:
        return kPageUp;
    case kKeyPageDown:
        return kPageDown;
    case kKeyHome:
        return kHome;
    case kKeyEnd:
        return kEnd;
    case kKeyLeft:
        return kLeft;
    case kKeyRight:
        return kRight;
    case kKeyUp:
        return kUp;
    case kKeyDown:
        return kDown;
    case kKeyDelete:
        return kDelete;
    default:
        return static_cast<int>(event.character);
    }
}

int epiKeyboard::translateKey(const platform::PumpEvent& event, epiUbo* target)
{
    using namespace platform;
    shift_ = (event.modifiers & kModShift) != 0;
    control_ = (event.modifiers & kModControl) != 0;
    alt_ = (event.modifiers & kModAlt) != 0;
    lastKeysym_ = event.keysym;
    if (event.keycode >= pressed_.size())
        return 0;
    int& kept = pressed_[event.keycode];
    if (event.type == PumpEventType::KeyRelease) {
        const int code = kept;
        kept = 0;
        if (code != 0 && target)
            target->dispatchKeyUp(code);
        return code;
    }
    if (event.type != PumpEventType::KeyPress)
        return 0;
    const int code = keyCode(event);
    if (code == 0)
        return 0;
    const bool repeat = kept != 0;
    kept = code;
    if (target) {
        if (repeat)
            target->dispatchKeyRepeat(code);
        else
            target->dispatchKeyDown(code);
    }
    return code;
}
