#pragma once

#include "hostfw/core/epiApplicationObject.h"

// An application object the window manager can animate: UI objects and the
// behaviours they own both receive the shared animation tick.
class epiUiTimered : public epiApplicationObject {
public:
    // Called by the window manager's animation tick with the seconds since
    // this object's animation started and the number of ticks so far.
    virtual void animationTick(double, int) {}
};
