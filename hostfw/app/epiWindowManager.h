#pragma once

#include "hostfw/ui/epiRect.h"
#include "hostfw/ui/epiUbo.h"
#include "platform/EventPump.h"

#include <array>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

class epiApplication;

// The service that owns the top-level windows (its children), runs the
// message loop, routes commands, chooses the pointer cursor, places new
// windows in a cascade and ticks the animated objects every 0.04 s.
//
// The loop takes its events from the application's event pump; when none is
// pending it waits on the pump for at most 2 ms, then runs the due timed tasks
// and the per-turn hooks. It ends only through quit (or the last window going
// away while quit-on-last-window is set), never on a quit request in the
// event stream.
class epiWindowManager : public epiUbo {
public:
    static constexpr double kIdleWaitSeconds = 0.002;
    static constexpr double kAnimationPeriod = 0.04;
    static constexpr int kCursorSlots = 16;
    static constexpr int kArrowCursor = -2;
    static constexpr int kWaitCursor = -3;

    epiWindowManager();
    ~epiWindowManager() override;

    epiFourCC getKind() const override { return epiCode("Wind"); }
    bool canHaveChildren() const override { return true; }
    // The desktop less 50 pixels at the bottom becomes the manager's rectangle.
    bool init() override;
    // Closes every window and stops the animation tick.
    void exit() override;
    // Ends the loop when the last window goes and quit-on-last-window is set.
    void removeChild(epiUbo* child) override;

    // The foreground window, then the first window when it is another one,
    // then the application, then the menu service: the first that handles
    // the command wins.
    bool onCommand(epiFourCC code) override;

    virtual void runMessageLoop();
    // One turn of the loop: one event (or a bounded wait), the due timed
    // tasks, the per-turn hooks. Modal loops run the same turns without the
    // menu's shortcuts.
    void runTurn(bool accelerators = true);
    // Ends the loop after its current turn; posts a quit request too.
    virtual void quit();
    bool isRunning() const { return running_; }
    bool getQuitOnLastWindow() const { return quitOnLastWindow_; }
    void setQuitOnLastWindow(bool quit) { quitOnLastWindow_ = quit; }

    // Hooks called on every loop turn, in the order added; a hook may add or
    // remove hooks. Returns the hook's id for removeTurnHook.
    int addTurnHook(std::function<void()> hook);
    void removeTurnHook(int id);

    // Delivers one event: keys through the shortcuts and then the keyboard
    // service to their window, pointer state to the keyboard service, and
    // everything else to the window layer.
    void dispatchEvent(const platform::PumpEvent& event, bool accelerators = true);

    // Resets the rectangle to the next cascade position: (64, 64), then
    // 32 to the right and 16 down each time, back to (64, 64) past x = 640.
    void nextWindowRect(epiRect& rect);
    // "epiWndClass_0000", "epiWndClass_0001" ...
    std::string nextWindowClassName();

    // The managed window in the foreground, else the first; null when none.
    epiUbo* getForegroundWindow() const;
    epiUbo* findWindowByHandle(void* handle) const;
    // A window's kind is its id (the name of the layout it was built from).
    epiUbo* findWindowByKind(epiFourCC kind) const { return findChild(kind); }
    // The first layout resource whose content is named by the kind.
    epiUbo* openWindowFromLayoutResource(epiFourCC kind);
    // An open window of the kind comes to the front; otherwise one is opened
    // from the named layout, or without a name from the kind's layout.
    virtual epiUbo* openOrActivate(epiFourCC kind, const char* layoutName);
    void closeWindowOfKind(epiFourCC kind);
    void bringToFront(epiUbo* window);
    // Enables or disables every managed window but the given one (their
    // setWindowEnabled, which nests).
    void enableOtherWindows(epiUbo* window, bool enable);

    // 0-15: the loaded cursor of that slot (none is loaded here, so nothing
    // changes); -2 the arrow, -3 the wait cursor; other values change nothing.
    void setCursor(int index);
    void showCursor(int index);
    void hideCursor();
    int getCursor() const { return cursor_; }

    // Animated objects: one shared repeating task ticks them all while any
    // is listed. Each gets the seconds since its own start and its tick count.
    bool addAnimated(epiUiTimered* object, bool restart);
    void restartAnimated(epiUiTimered* object);
    void removeAnimated(epiUiTimered* object);
    bool isAnimated(const epiUiTimered* object) const;
    bool isTickRunning() const { return tickRunning_; }
    void onTimedTask() override;

    const epiRect& getRect() const { return rect_; }
    platform::EventPump& pump();

protected:
    virtual void beforeLoop() {}
    virtual void afterLoop() {}

private:
    struct Animated {
        epiUiTimered* object = nullptr;
        double start = 0.0;
        int frames = 0;
    };
    struct TurnHook {
        int id = 0;
        std::function<void()> hook;
    };

    epiApplication* application() const;
    double now() const;

    epiRect rect_;
    epiPoint cascade_{64, 64};
    bool running_ = true;
    bool quitOnLastWindow_ = true;
    std::list<Animated> animated_;
    bool tickRunning_ = false;
    std::array<void*, kCursorSlots> cursors_{};
    int cursor_ = kArrowCursor;
    int windowClassCounter_ = 0;
    std::vector<TurnHook> turnHooks_;
    int nextHookId_ = 1;
    // Used when the application has no pump of its own.
    std::unique_ptr<platform::HeadlessEventPump> ownPump_;
};
