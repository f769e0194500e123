#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/EventPump.h"
#include "platform/window/Events.h"

// The host's window layer: top-level, child and pop-up windows whose client
// area shows a back buffer, with their input, focus, grab, enabled state and
// owner. One interface, two back ends: X11 (platform/x11) and headless (this
// folder), which gives tests the same pixels and events without a display.
//
// The layer is the event pump of the user-interface thread: the message loop
// polls it, hands key events to the keyboard service and every other event
// back to dispatch(), which delivers it to the window's sink. Input for a
// disabled window never leaves poll().
namespace platform::ui {

// A window's client area: screen coordinates for top-level windows, the
// parent's client coordinates for child windows. The editor's window layer
// measures its pixels the same way.
using Rect = window::Rect;

enum class WindowKind {
    TopLevel,
    // Inside another window of the layer (its client area).
    Child,
    // Override-redirect: no decorations and nothing the window manager moves.
    Popup,
};

enum class Decorations {
    Normal,
    // No title, border or handles.
    Plain,
    // A resizable border without a title.
    Frame,
};

struct WindowOptions {
    WindowKind kind = WindowKind::TopLevel;
    // Child windows: the parent window's handle.
    void* parent = nullptr;
    std::string title;
    // WM_CLASS name and class.
    std::string className;
    Rect frame;
    bool resizableX = true;
    bool resizableY = true;
    // 0: no limit.
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
    bool minimizeBox = true;
    bool maximizeBox = true;
    bool closeBox = true;
    Decorations decorations = Decorations::Normal;
    bool maximised = false;
    // Accepts files dropped on it (file:// URIs).
    bool acceptsFiles = false;
    bool modal = false;
    // A strip above the client area for the menu bar; outside the client
    // coordinates.
    bool menuStrip = false;
    // What the window shows before anything is presented, 0x00RRGGBB.
    std::uint32_t background = 0xC0C0C0;

    // Takes the resizability and the size limits of another set of options.
    void takeSizeLimits(const WindowOptions& limits)
    {
        resizableX = limits.resizableX;
        resizableY = limits.resizableY;
        minWidth = limits.minWidth;
        minHeight = limits.minHeight;
        maxWidth = limits.maxWidth;
        maxHeight = limits.maxHeight;
    }
};

enum class PointerAction { Down, Up, Move, Drag, Wheel };

// What a window reports; every call comes from dispatch() on the UI thread.
class WindowSink {
public:
    // The screen lost that part of the client area.
    virtual void exposed(const Rect& area) = 0;
    // The client area's new screen (or parent) origin.
    virtual void moved(int x, int y) = 0;
    virtual void resized(int width, int height) = 0;
    virtual void closeRequested() = 0;
    virtual void focusChanged(bool focused) = 0;
    // Client coordinates. Wheel: delta in steps of 120 per notch, up positive.
    virtual void pointer(PointerAction action, int x, int y, int wheelDelta) = 0;
    // Client coordinates of the drop point.
    virtual void filesDropped(const std::vector<std::string>& paths, int x, int y) = 0;

protected:
    ~WindowSink() = default;
};

class WindowSystem;

// One native window. Destroying it destroys the native window; no sink call
// follows.
class HostWindow {
public:
    virtual ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The id other code (the loop, the editor's parent) knows it by.
    void* handle() const { return handle_; }
    unsigned long nativeId() const { return reinterpret_cast<std::uintptr_t>(handle_); }
    const WindowOptions& options() const { return options_; }
    const Rect& frame() const { return frame_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    HostWindow* owner() const { return owner_; }
    bool grabbing() const { return grabbing_; }

    virtual void setFrame(const Rect& frame) = 0;
    virtual void show(bool visible) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setEnabled(bool enabled) { enabled_ = enabled; }
    // Kept above the owner and iconified with it; null: none.
    virtual void setOwner(HostWindow* owner) = 0;
    virtual void grabPointer() = 0;
    virtual void releasePointer() = 0;
    // New size limits, as the window options name them.
    virtual void setSizeLimits(const WindowOptions& limits) = 0;
    // Copies `area` of a 0xAARRGGBB buffer (`stride` pixels a row, the
    // client area's size) to the screen.
    virtual void present(const std::uint32_t* pixels, int stride, const Rect& area) = 0;
    // Copies a row of the strip above the client area (kMenuStripHeight rows
    // of `stride` pixels, the client area's width) to the screen; nothing for
    // a window without a strip.
    virtual void presentStrip(const std::uint32_t*, int) {}

    WindowSink& sink() const { return sink_; }

protected:
    HostWindow(WindowSystem& system, const WindowOptions& options, WindowSink& sink);
    // The back end names the window once it exists.
    void setHandle(void* handle);

    WindowSystem& system_;
    WindowOptions options_;
    WindowSink& sink_;
    Rect frame_;
    bool enabled_ = true;
    bool visible_ = false;
    bool grabbing_ = false;
    HostWindow* owner_ = nullptr;

private:
    friend class WindowSystem;
    void* handle_ = nullptr;
};

// What a back end reports about a window besides keys and pointer buttons,
// kept until dispatch() delivers it.
struct LayerEvent {
    enum class Kind {
        Exposed,
        Moved,
        Resized,
        Iconified,
        CloseRequest,
        Activated,
        Deactivated,
        Wheel,
        FilesDropped,
    };
    LayerEvent() = default;
    LayerEvent(Kind kind, const Rect& area = {}) : kind(kind), area(area) {}

    Kind kind = Kind::Exposed;
    Rect area; // Exposed: the area; Moved and Resized: the new frame
    int x = 0; // Wheel and FilesDropped: client point
    int y = 0;
    int delta = 0;
    std::vector<std::string> files;
};

// The window system of one connection: creates windows and is the UI
// thread's event pump. Back ends fill the queue in fetch().
class WindowSystem : public EventPump {
public:
    // The strip's height above a client area that carries the menu bar.
    static constexpr int kMenuStripHeight = 20;

    ~WindowSystem() override;

    // Null when the native window cannot be made (a child of a window that
    // is gone, a connection that failed).
    virtual std::unique_ptr<HostWindow> createWindow(const WindowOptions& options,
                                                     WindowSink& sink) = 0;

    bool poll(PumpEvent& event) override;
    void dispatch(const PumpEvent& event) override;
    void postQuit() override;
    void* foregroundWindow() const override { return foreground_; }
    void enableWindow(void* window, bool enable) override;

    HostWindow* find(void* handle) const;
    const std::vector<HostWindow*>& windows() const { return windows_; }
    int quitsPosted() const { return quitsPosted_; }

protected:
    // Moves what the native side has pending into the queue; never blocks.
    virtual void fetch() = 0;
    // Queues an event for the loop (input or the window layer's own).
    void queue(const PumpEvent& event) { queue_.push_back(event); }
    void queue(HostWindow& window, LayerEvent event);
    void setForeground(void* handle) { foreground_ = handle; }

private:
    friend class HostWindow;
    void added(HostWindow* window);
    void removed(HostWindow* window);
    void deliver(HostWindow& window, const LayerEvent& event);

    std::vector<HostWindow*> windows_;
    std::deque<PumpEvent> queue_;
    std::map<std::intptr_t, LayerEvent> pending_;
    std::intptr_t nextSerial_ = 1;
    void* foreground_ = nullptr;
    int quitsPosted_ = 0;
};

} // namespace platform::ui
