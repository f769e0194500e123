#pragma once

#include "hostfw/win/epiWindow.h"

// A window that runs its own message loop while it is open, so that the code
// that opened it goes on only once it has closed. Other windows are disabled
// meanwhile. The loop runs the timed tasks and the per-turn hooks, without
// the menu's shortcuts.
class epiModalWindow : public epiWindow {
public:
    epiModalWindow();

    // Runs the loop when the window is visible.
    void onOpened() override;
    // Shows or hides; the first showing of an open hidden window starts the
    // loop once.
    void onVisibilityChanged() override;
    // Returns when the window has closed; at once without a native window.
    int runModalLoop();
    bool loopStarted() const { return loopStarted_; }

private:
    bool loopStarted_ = false;
};
