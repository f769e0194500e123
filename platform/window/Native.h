#pragma once

#include <cstdint>
#include <memory>

#include "platform/window/Events.h"

namespace platform::window {

// What a backend reports while it is polled.
class NativeSink {
public:
    virtual void event(const Event& event) = 0;
    // An area the screen lost: it must be rendered and copied again.
    virtual void expose(const Rect& area) = 0;
    // The system destroyed the window (its parent went first, or the user
    // closed a top-level window). The backend makes no call on it afterwards.
    virtual void destroyed() = 0;

protected:
    ~NativeSink() = default;
};

// One native editor window of a backend. Every call comes from the thread
// that pumps the window.
class Native {
public:
    virtual ~Native() = default;
    // The window's id as the host's windowing system knows it (an X Window).
    virtual unsigned long handle() const = 0;
    // Takes every pending native event, translated, into `sink`.
    virtual void poll(NativeSink& sink) = 0;
    // Copies `area` of the pixel buffer (0xAARRGGBB, top row first, the
    // window's width per row) to the screen.
    virtual void present(const std::uint32_t* pixels, const Rect& area) = 0;
    // Gives the keyboard focus to the window.
    virtual void takeFocus() = 0;
    // Hands the focus back to the parent when the window still holds it.
    virtual void releaseFocus() = 0;
};

// Creates the native window: a child of *parent at the rectangle's position,
// or a top-level window titled `title` without a parent. `pixels` (already
// zeroed, width x height) is what the window shows once mapped. Null, after
// one line on standard error, when there is no display or no such parent.
std::unique_ptr<Native> createNative(const unsigned long* parent, const Rect& rect,
                                     const char* title, const std::uint32_t* pixels);

// Test hooks, process-wide. The backend: headless for tests, or X11; without
// a choice, the environment variable RIG_WINDOW_BACKEND=headless selects the
// headless one (for tests that load the module), anything else X11.
enum class Backend { Default, X11, Headless };
void setBackend(Backend backend);

// The clock the window's timer reads, in milliseconds; null restores the
// steady clock.
using Clock = std::int64_t (*)();
void setClock(Clock clock);
std::int64_t now();

// The colour every new window's pixel buffer holds before its first paint
// (0, the default, is black): a test sets a colour no skin uses and then
// finds any pixel the editor failed to paint.
void setFirstFill(std::uint32_t colour);
std::uint32_t firstFill();

} // namespace platform::window
