#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/window/DirtyRegion.h"
#include "platform/window/Events.h"
#include "platform/window/Native.h"

namespace platform::window {

// What the window calls, always from pump() on the thread that pumps it.
class Client {
public:
    // One input, timer or focus event.
    virtual void handle(const Event& event) = 0;
    // Render `area` into the pixel buffer; the window copies it to the screen.
    virtual void render(const Rect& area) = 0;
    // The system destroyed the window. The last call of a pump: the client may
    // delete the window from here.
    virtual void closed() = 0;

protected:
    ~Client() = default;
};

// The editor's native window without a thread of its own: the host's UI
// thread calls pump(), which takes the pending native events, runs the timer
// and repaints. invalidate, takeKeyboard and releaseKeyboard may come from
// any thread: they only record requests that the next pump applies.
class EditorWindow {
public:
    // The timer's period: 25 ticks a second.
    static constexpr std::int64_t timerPeriodMs = 40;

    // parent: address of the parent's window id, or null for a top-level
    // window. Without a display or with a parent id that names no window there
    // is no native part: the window exists, nothing arrives.
    EditorWindow(Client& client, const unsigned long* parent, const Rect& rect, const char* title,
                 bool ownMouse, bool ownKeys);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // UI thread. Delivers every pending event in order, then at most one timer
    // tick when a period or more passed since the last one (a late pump gets
    // one tick, not a burst), then renders the area waiting for paint and
    // copies it to the screen.
    void pump();

    // Any thread; no allocation, no lock, no windowing call.
    void invalidate(const Rect& area) noexcept { dirty_.add(area); }
    void takeKeyboard() noexcept;
    void releaseKeyboard() noexcept;
    bool keysWanted() const noexcept { return keysWanted_.load(std::memory_order_acquire); }

    // The pixel buffer, width x height, rows top to bottom: zeroed before the
    // window is first shown.
    std::uint32_t* pixels() { return pixels_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Address of the native window id (0 without a native part, or once the
    // system destroyed the window).
    unsigned long* handle() { return &handle_; }
    bool hasNative() const { return native_ != nullptr; }

private:
    class Sink;
    enum FocusRequest : int { FocusNone, FocusTake, FocusRelease };

    Client& client_;
    const bool ownMouse_;
    const bool ownKeys_;
    int width_;
    int height_;
    std::unique_ptr<std::uint32_t[]> pixels_;
    DirtyRegion dirty_;
    std::atomic<bool> keysWanted_{false};
    std::atomic<int> focusRequest_{FocusNone};
    std::int64_t lastTick_;
    std::unique_ptr<Native> native_;
    unsigned long handle_ = 0;
};

} // namespace platform::window
