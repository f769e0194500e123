#pragma once

#include <X11/Xlib.h>

#include <thread>

#include "platform/window/Native.h"

namespace platform::window {

// The editor window on an X server, over a connection of its own.
class X11Window : public Native {
public:
    // Null, after one line on standard error, without a display or when the
    // parent id names no window.
    static std::unique_ptr<Native> create(const unsigned long* parent, const Rect& rect,
                                          const char* title, const std::uint32_t* pixels);
    ~X11Window() override;

    unsigned long handle() const override { return window_; }
    void poll(NativeSink& sink) override;
    void present(const std::uint32_t* pixels, const Rect& area) override;
    void takeFocus() override;
    void releaseFocus() override;

private:
    X11Window(Display* display, const Rect& rect);
    bool open(const unsigned long* parent, const char* title, const std::uint32_t* pixels);
    void translate(const XEvent& event, NativeSink& sink);
    void forget();
    // Xlib connections are not shared between threads here: every call on
    // the window comes from the thread that created it, the one that pumps
    // it. A call from elsewhere is a fault of the host's loop: a debugging
    // build stops there; a release build says so on standard error and makes
    // no Xlib call for it (false), since a plug-in must not end its host.
    bool onOwnThread(const char* call) const;

    const std::thread::id owner_ = std::this_thread::get_id();
    Display* display_;
    Rect rect_;
    ::Window parent_ = 0;
    ::Window window_ = 0;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    // The visual takes the buffer's 0x00RRGGBB words as they are; otherwise
    // each presented row is converted into image_'s own memory.
    bool direct_ = false;
    Atom deleteWindow_ = 0;
};

} // namespace platform::window
