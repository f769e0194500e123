#pragma once

#include <string>
#include <vector>

#include "platform/headless/WindowLayer.h"

namespace platform::ui {

class HeadlessWindowSystem;

// A window with no screen: a copy of what was presented and a record of what
// the framework asked of it.
class HeadlessWindow : public HostWindow {
public:
    HeadlessWindow(HeadlessWindowSystem& system, const WindowOptions& options, WindowSink& sink);

    void setFrame(const Rect& frame) override;
    void show(bool visible) override;
    void setTitle(const std::string& title) override { options_.title = title; }
    void setOwner(HostWindow* owner) override { owner_ = owner; }
    void grabPointer() override { grabbing_ = true; }
    void releasePointer() override { grabbing_ = false; }
    void setSizeLimits(const WindowOptions& limits) override;
    void present(const std::uint32_t* pixels, int stride, const Rect& area) override;
    void presentStrip(const std::uint32_t* pixels, int stride) override;

    // What the screen shows: 0x00RRGGBB, the client area's size, the
    // background where nothing was presented.
    const std::vector<std::uint32_t>& screen()
    {
        fitScreen();
        return screen_;
    }
    int presents() const { return presents_; }
    // What the menu strip shows: 0x00RRGGBB rows of the client area's width;
    // empty until something was presented there.
    const std::vector<std::uint32_t>& strip() const { return strip_; }

private:
    void fitScreen();

    HeadlessWindowSystem& headless_;
    std::vector<std::uint32_t> screen_;
    std::vector<std::uint32_t> strip_;
    int screenWidth_ = 0;
    int presents_ = 0;
};

// A 1920 x 1080 screen without a display. Tests act as the user and the
// window manager through the inject operations; what they inject reaches the
// loop at its next poll, in order, as the X11 back end would report it.
class HeadlessWindowSystem : public WindowSystem {
public:
    std::unique_ptr<HostWindow> createWindow(const WindowOptions& options,
                                             WindowSink& sink) override;

    void wait(double) override { ++waits; }
    ScreenSize screenSize() const override { return {1920, 1080}; }
    void setForegroundWindow(void* window) override;
    void setCursor(PumpCursor which) override { cursor = which; }
    void showCursor(bool show) override { cursorShown = show; }

    // The user, in client coordinates of the window.
    void press(HostWindow& window, int x, int y, unsigned button = 1);
    void release(HostWindow& window, int x, int y, unsigned button = 1);
    // buttons: the X button masks held during the motion.
    void motion(HostWindow& window, int x, int y, unsigned buttons = 0);
    void wheel(HostWindow& window, int x, int y, int delta);
    void key(HostWindow& window, unsigned keycode, std::uint32_t keysym, std::uint32_t character,
             unsigned modifiers = 0);
    void dropFiles(HostWindow& window, const std::vector<std::string>& paths, int x, int y);
    // The window manager.
    void move(HostWindow& window, int x, int y);
    void resize(HostWindow& window, int width, int height);
    void iconify(HostWindow& window);
    void requestClose(HostWindow& window);
    void focus(HostWindow& window, bool in);
    void expose(HostWindow& window, const Rect& area);

    int waits = 0;
    PumpCursor cursor = PumpCursor::Arrow;
    bool cursorShown = true;
    // Foreground changes asked by the framework, in order.
    std::vector<void*> raised;

protected:
    void fetch() override {}

private:
    friend class HeadlessWindow;
    void input(HostWindow& window, PumpEventType type, int x, int y, unsigned button,
               unsigned modifiers);
    std::uintptr_t nextId_ = 0x7E000001u;
};

} // namespace platform::ui
