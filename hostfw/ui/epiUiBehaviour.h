#pragma once

#include "hostfw/app/epiUiTimered.h"
#include "hostfw/core/epiText.h"
#include "hostfw/ui/epiRect.h"

#include <cstdint>

class epiUbo;

// The object a widget creates for itself to turn its pointer input into a
// state: pressed and checked for buttons, a value at a pixel position for
// knobs and scroll bars. The widget offers every pointer event to it first
// and redraws when it reports a change (onStateChanged). Here every query
// answers false or 0, every setter does nothing and every event goes
// unhandled; the kinds of behaviour override what they use.
class epiUiBehaviour : public epiUiTimered {
public:
    virtual void setOwner(epiUbo* owner) { owner_ = owner; }
    epiUbo* getOwner() const { return owner_; }
    virtual bool activate() { return false; }

    // Pointer handling: true when handled, so the widget passes it on no
    // further.
    virtual bool onMouseMove(const epiPoint&) { return false; }
    // Marks the pointer inside, captures it for the owner and presses.
    virtual bool onMouseDown(const epiPoint& point);
    // Without a pressed face the drag is swallowed; with one, crossing the
    // owner's edge enters or leaves.
    virtual bool onMouseDrag(const epiPoint& point);
    // Releases the capture; with a pressed face, a release inside releases
    // and one outside cancels.
    virtual bool onMouseUp(const epiPoint& point);
    virtual bool onMouseWheel(const epiPoint&, int) { return false; }
    virtual bool onPress(const epiPoint&) { return false; }
    virtual bool onEnter(const epiPoint&) { return false; }
    virtual bool onLeave(const epiPoint&) { return false; }
    virtual bool onCancel(const epiPoint&) { return false; }
    virtual bool onRelease(const epiPoint&) { return false; }

    virtual bool isPressed() const { return false; }
    virtual bool isChecked() const { return false; }
    virtual void setPressed(bool) {}
    virtual void setChecked(bool) {}
    virtual void press() {}
    virtual bool setEnabled(bool) { return false; }

    virtual int getPosition() const { return 0; }
    virtual bool setFromPixel(int) { return false; }
    virtual void setPixelMin(int) {}
    virtual void setPixelMax(int) {}
    virtual float getValue() const { return 0.0f; }
    virtual bool setValue(float) { return false; }
    virtual int getValueInt() const { return 0; }
    virtual bool setValueInt(int) { return false; }
    virtual void setMin(float) {}
    virtual void setMax(float) {}
    // The range codes: 'dMin', 'dMax' (pixels) and 'uMin', 'uMax' (value
    // / 100). Other codes are ignored.
    virtual void setAttribute(epiFourCC code, std::intptr_t value);
    // False: the text was not taken (the widget then reads it as a number).
    virtual bool setAttributeText(epiFourCC, const epiText&) { return false; }

    bool isInside() const { return inside_; }

protected:
    // The owner redraws its changed state.
    void ownerChanged();

private:
    bool inside_ = false;
    epiUbo* owner_ = nullptr;
};
