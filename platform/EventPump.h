#pragma once

#include <cstdint>
#include <deque>
#include <vector>

// The source of the user-interface thread's events: the message loop takes
// them one at a time without blocking and waits on the pump, for a bounded
// time, when none is pending. A window layer (X11) implements it over its
// connection; HeadlessEventPump serves tests and runs without a display.
namespace platform {

// Modifier bits as X reports them in its event state.
enum : unsigned {
    kModShift = 1u << 0,
    kModControl = 1u << 2,
    kModAlt = 1u << 3, // Mod1
    // Pointer buttons held before the event.
    kButton1Mask = 1u << 8,
    kButton2Mask = 1u << 9,
    kButton3Mask = 1u << 10,
};

// Key symbols of the keys the framework maps (X keysym values); a printable
// key's symbol is its Latin-1 character.
enum : std::uint32_t {
    kKeyHome = 0xff50,
    kKeyLeft = 0xff51,
    kKeyUp = 0xff52,
    kKeyRight = 0xff53,
    kKeyDown = 0xff54,
    kKeyPageUp = 0xff55,
    kKeyPageDown = 0xff56,
    kKeyEnd = 0xff57,
    kKeyDelete = 0xffff,
};

enum class PumpEventType {
    KeyPress,
    KeyRelease,
    ButtonPress,
    ButtonRelease,
    Motion,
    // A quit request from anywhere in the program; the loop ignores it.
    Quit,
    // Anything the window layer itself handles (expose, configure ...).
    Other,
};

struct PumpEvent {
    PumpEventType type = PumpEventType::Other;
    // The native window the event is for; null when none.
    void* window = nullptr;
    // The X keycode of the key (the headless pump uses the same numbers).
    unsigned keycode = 0;
    std::uint32_t keysym = 0;
    // The character the key types with the current modifiers, 0 for none.
    std::uint32_t character = 0;
    unsigned modifiers = 0;
    // 1 left, 2 middle, 3 right.
    unsigned button = 0;
    int x = 0;
    int y = 0;
    // Free for the window layer (its own event code).
    std::intptr_t detail = 0;
};

enum class PumpCursor { Arrow, Wait };

struct ScreenSize {
    int width = 0;
    int height = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;

    // Takes the next pending event without blocking; false when none.
    virtual bool poll(PumpEvent& event) = 0;
    // Waits until an event may be pending or the time has passed.
    virtual void wait(double maxSeconds) = 0;
    // Hands an event the framework did not consume to the window layer.
    virtual void dispatch(const PumpEvent& event) = 0;
    // Queues a quit request (the loop's own end does not depend on it).
    virtual void postQuit() = 0;

    virtual ScreenSize screenSize() const = 0;
    virtual void* foregroundWindow() const = 0;
    virtual void setForegroundWindow(void* window) = 0;
    virtual void enableWindow(void* window, bool enable) = 0;
    virtual void setCursor(PumpCursor cursor) = 0;
    virtual void showCursor(bool show) = 0;
};

// A pump without a display: a 1920 x 1080 screen, events injected by the
// caller, and a record of what the framework asked of the window layer.
class HeadlessEventPump : public EventPump {
public:
    bool poll(PumpEvent& event) override;
    void wait(double maxSeconds) override;
    void dispatch(const PumpEvent& event) override { dispatched.push_back(event); }
    void postQuit() override;

    ScreenSize screenSize() const override { return {1920, 1080}; }
    void* foregroundWindow() const override { return foreground; }
    void setForegroundWindow(void* window) override { foreground = window; }
    void enableWindow(void* window, bool enable) override;
    void setCursor(PumpCursor which) override
    {
        cursor = which;
        ++cursorChanges;
    }
    void showCursor(bool show) override { cursorShown = show; }

    void inject(const PumpEvent& event) { pending.push_back(event); }
    // A key press and release as the X layer would report them.
    void injectKey(unsigned keycode, std::uint32_t keysym, std::uint32_t character,
                   unsigned modifiers = 0);

    std::deque<PumpEvent> pending;
    std::vector<PumpEvent> dispatched;
    std::vector<void*> disabledWindows;
    void* foreground = nullptr;
    PumpCursor cursor = PumpCursor::Arrow;
    int cursorChanges = 0;
    bool cursorShown = true;
    int waits = 0;
    int quitsPosted = 0;
};

} // namespace platform
