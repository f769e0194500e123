#pragma once

#include <memory>

#include <boost/signals2/signal.hpp>

#include "editor/graphics/Geometry.h"
#include "editor/graphics/KeyboardButtons.h"
#include "platform/CriticalSection.h"

namespace Zq::Application::Graphics {

class Painter;

// The editor's one native window: an off-screen 32-bit image of the whole
// editor, copied to the screen where it was invalidated, and the window's
// input turned into calls of a receiver, each between beginEvent and endEvent
// under the document's lock. It has no thread: the host's UI thread calls
// pump(), which delivers what is pending.
class Window {
public:
    class Callback {
    public:
        virtual void attach(Window* window) = 0;
        virtual void detach(Window* window) = 0;
        // Render `area` of the editor through `painter`.
        virtual void paint(Painter* painter, const BasicRect<int>& area) = 0;
        virtual void mouseMove(const BasicPoint<int>& point, int modifiers) = 0;
        virtual void mouseDown(const BasicPoint<int>& point, int button, int modifiers) = 0;
        virtual void mouseUp(const BasicPoint<int>& point, int button, int modifiers) = 0;
        virtual void key(KeyboardButtons key, char character, int modifiers) = 0;
        virtual void timer() = 0;
        virtual void focusLost() = 0;
        virtual void beginEvent() = 0;
        virtual void endEvent() = 0;
        virtual ~Callback() = default;
    };
    struct Impl;

    // parentHandle: address of the parent's X window id, or null for a
    // top-level window "Zq GUI". ownMouse false: the host delivers the mouse,
    // and pointer events in the window only tick the timer. ownKeys false:
    // the host delivers keys. lock may be null: no locking then.
    Window(Callback* receiver, void* parentHandle, const BasicRect<int>& rect, bool ownMouse,
           bool ownKeys, platform::CriticalSection* lock);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Any thread (the automation worker, the audio thread under the document's
    // lock): record a request for the next pump, without a windowing call, an
    // allocation or a wait.
    void invalidate(const BasicRect<int>& area);
    void update();
    void takeKeyboard();
    void releaseKeyboard();

    // Address of the native window id (an X Window); the id is 0 without a
    // native window.
    void* getWindowHandle();

    // UI thread: every pending window event, at most one timer tick when 40 ms
    // or more passed, then the invalidated area painted and shown. May fire
    // `closed`, after which it touches nothing of this object.
    void pump();

    // Fired when the system destroys the native window (a parent destroyed
    // first, or a top-level window closed by the user); whoever holds the
    // window decides whether to delete it.
    boost::signals2::signal<void(Window*)> closed;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace Zq::Application::Graphics
