#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window/Native.h"

namespace platform::window {

// A window with no screen: a copy of what was presented, and hooks through
// which tests inject what a user and the system would do. Injected events
// wait in a queue for the next pump, which delivers each one as the X11
// backend would deliver its own.
class HeadlessWindow : public Native {
public:
    HeadlessWindow(const unsigned long* parent, const Rect& rect, const std::uint32_t* pixels);
    ~HeadlessWindow() override;

    // The live headless window with that id, or null.
    static HeadlessWindow* find(unsigned long id);

    unsigned long handle() const override { return id_; }
    void poll(NativeSink& sink) override;
    void present(const std::uint32_t* pixels, const Rect& area) override;
    void takeFocus() override { focused_ = true; }
    void releaseFocus() override { focused_ = false; }

    // Test hooks, on the pumping thread.
    void mouseMove(int x, int y, int modifiers);
    void mouseDown(int x, int y, int button, int modifiers);
    void mouseUp(int x, int y, int button, int modifiers);
    void key(Key key, char character);
    void focusOut();
    void timer();
    void expose(const Rect& area);
    // The system destroys the window (its parent closed first).
    void destroy();

    bool focused() const { return focused_; }
    bool hasParent() const { return hasParent_; }
    const Rect& rect() const { return rect_; }
    // What the screen shows: the presented parts of the buffer, black elsewhere.
    const std::vector<std::uint32_t>& screen() const { return screen_; }
    // The area of the last present, empty before the first.
    const Rect& lastPresented() const { return lastPresented_; }
    // Writes the screen as an RGB PNG; false on failure.
    bool writePng(const std::string& path) const;

private:
    struct Injected {
        enum class Kind { Event, Expose, Destroy } kind;
        Event event;
        Rect area;
    };
    void inject(const Injected& item);

    unsigned long id_;
    bool hasParent_;
    Rect rect_;
    bool focused_ = false;
    std::vector<std::uint32_t> screen_;
    Rect lastPresented_{};
    std::mutex mutex_;
    std::deque<Injected> queue_;
};

} // namespace platform::window
