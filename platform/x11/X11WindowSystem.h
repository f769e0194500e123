#pragma once

// Before Xlib, whose macros take the names KeyPress, ButtonPress ...
#include "platform/headless/WindowLayer.h"

#include <memory>
#include <string>

namespace platform::ui::pumped {
inline constexpr PumpEventType keyPress = PumpEventType::KeyPress;
inline constexpr PumpEventType keyRelease = PumpEventType::KeyRelease;
inline constexpr PumpEventType buttonPress = PumpEventType::ButtonPress;
inline constexpr PumpEventType buttonRelease = PumpEventType::ButtonRelease;
inline constexpr PumpEventType motion = PumpEventType::Motion;
} // namespace platform::ui::pumped

#include <X11/Xlib.h>

namespace platform::ui {

class X11WindowSystem;

// A window of the layer on the X server. A top-level or pop-up window is an
// outer X window holding the client area as a child window, below the menu
// strip when there is one; a child window is the client window alone, inside
// its parent's client window.
class X11HostWindow : public HostWindow {
public:
    ~X11HostWindow() override;

    void setFrame(const Rect& frame) override;
    void show(bool visible) override;
    void setTitle(const std::string& title) override;
    void setOwner(HostWindow* owner) override;
    void grabPointer() override;
    void releasePointer() override;
    void setSizeLimits(const WindowOptions& limits) override;
    void present(const std::uint32_t* pixels, int stride, const Rect& area) override;
    void presentStrip(const std::uint32_t* pixels, int stride) override;

    ::Window outer() const { return outer_; }
    ::Window client() const { return client_; }
    int strip() const { return strip_; }

private:
    friend class X11WindowSystem;
    X11HostWindow(X11WindowSystem& system, const WindowOptions& options, WindowSink& sink);
    bool open();
    void applySizeHints();
    // Copies the area of the pixels into the X window (rows up to the limit).
    void putPixels(::Window target, const std::uint32_t* pixels, int stride, const Rect& area,
                   int limitHeight);

    X11WindowSystem& x11_;
    Display* display_;
    ::Window outer_ = 0;
    ::Window client_ = 0;
    int strip_ = 0;
    GC gc_ = nullptr;
    // Drag and drop in progress: the source window and whether it offers
    // a file list.
    ::Window dndSource_ = 0;
    bool dndAccepted_ = false;
    int dndRootX_ = 0;
    int dndRootY_ = 0;
};

// The window system over one X connection: creates the windows and is the
// message loop's event pump.
class X11WindowSystem : public WindowSystem {
public:
    // Null, after one line on standard error, when no display opens.
    static std::unique_ptr<X11WindowSystem> open(const char* displayName = nullptr);
    ~X11WindowSystem() override;

    std::unique_ptr<HostWindow> createWindow(const WindowOptions& options,
                                             WindowSink& sink) override;

    void wait(double maxSeconds) override;
    void postQuit() override;
    ScreenSize screenSize() const override;
    void setForegroundWindow(void* window) override;
    void setCursor(PumpCursor cursor) override;
    void showCursor(bool show) override;

    Display* display() const { return display_; }

protected:
    void fetch() override;

private:
    friend class X11HostWindow;
    explicit X11WindowSystem(Display* display);
    X11HostWindow* byXWindow(::Window window) const;
    void translate(XEvent& event);
    void translateInput(X11HostWindow& window, XEvent& event);
    void translateClientMessage(X11HostWindow& window, const XClientMessageEvent& message);
    void receiveDrop(X11HostWindow& window, const XSelectionEvent& selection);
    void finishDrop(X11HostWindow& window, bool accepted);
    void focusSelf(X11HostWindow& window);
    ::Window currentCursor() const;

    Display* display_;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    Atom wmProtocols_;
    Atom wmDeleteWindow_;
    Atom motifHints_;
    Atom netWmState_;
    Atom netWmStateModal_;
    Atom netWmStateMaxVert_;
    Atom netWmStateMaxHorz_;
    Atom xdndAware_;
    Atom xdndEnter_;
    Atom xdndPosition_;
    Atom xdndStatus_;
    Atom xdndDrop_;
    Atom xdndLeave_;
    Atom xdndFinished_;
    Atom xdndSelection_;
    Atom xdndTypeList_;
    Atom xdndActionCopy_;
    Atom uriList_;
    Atom dropProperty_;
    Cursor arrow_ = 0;
    Cursor busy_ = 0;
    Cursor blank_ = 0;
    PumpCursor cursor_ = PumpCursor::Arrow;
    bool cursorShown_ = true;
};

} // namespace platform::ui
