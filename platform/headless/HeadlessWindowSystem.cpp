#include "platform/headless/HeadlessWindowSystem.h"

#include <algorithm>

namespace platform::ui {

HeadlessWindow::HeadlessWindow(HeadlessWindowSystem& system, const WindowOptions& options,
                               WindowSink& sink)
    : HostWindow(system, options, sink), headless_(system)
{
    fitScreen();
    setHandle(reinterpret_cast<void*>(system.nextId_++));
}

void HeadlessWindow::fitScreen()
{
    const std::size_t size = static_cast<std::size_t>(std::max(frame_.width, 0)) *
                             static_cast<std::size_t>(std::max(frame_.height, 0));
    if (screen_.size() == size && screenWidth_ == frame_.width)
        return;
    // A resized window starts again from its background, as an X window
    // does; the owner presents its buffer on the expose.
    screen_.assign(size, options_.background & 0xFFFFFF);
    screenWidth_ = frame_.width;
}

void HeadlessWindow::setFrame(const Rect& frame)
{
    const bool sized = frame.width != frame_.width || frame.height != frame_.height;
    frame_ = frame;
    fitScreen();
    if (sized && visible_)
        headless_.expose(*this, {0, 0, frame.width, frame.height});
}

void HeadlessWindow::show(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (!visible)
        return;
    // A mapped window is exposed whole and, when it is a top-level window,
    // takes the focus (no window manager does it for us).
    headless_.expose(*this, {0, 0, frame_.width, frame_.height});
    if (options_.kind == WindowKind::TopLevel)
        headless_.setForegroundWindow(handle());
}

void HeadlessWindow::setSizeLimits(const WindowOptions& limits)
{
    options_.takeSizeLimits(limits);
}

void HeadlessWindow::present(const std::uint32_t* pixels, int stride, const Rect& area)
{
    ++presents_;
    // The window manager may have resized the window since.
    fitScreen();
    const int left = std::max(area.x, 0);
    const int top = std::max(area.y, 0);
    const int right = std::min(area.x + area.width, frame_.width);
    const int bottom = std::min(area.y + area.height, frame_.height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            screen_[static_cast<std::size_t>(y) * frame_.width + x] =
                pixels[static_cast<std::size_t>(y) * stride + x] & 0xFFFFFF;
}

void HeadlessWindow::presentStrip(const std::uint32_t* pixels, int stride)
{
    if (!options_.menuStrip || options_.kind == WindowKind::Child || !pixels)
        return;
    const int width = std::min(frame_.width, stride);
    strip_.assign(static_cast<std::size_t>(frame_.width) * WindowSystem::kMenuStripHeight,
                  options_.background & 0xFFFFFF);
    for (int y = 0; y < WindowSystem::kMenuStripHeight; ++y)
        for (int x = 0; x < width; ++x)
            strip_[static_cast<std::size_t>(y) * frame_.width + x] =
                pixels[static_cast<std::size_t>(y) * stride + x] & 0xFFFFFF;
}

std::unique_ptr<HostWindow> HeadlessWindowSystem::createWindow(const WindowOptions& options,
                                                               WindowSink& sink)
{
    if (options.kind == WindowKind::Child && !find(options.parent))
        return nullptr;
    return std::make_unique<HeadlessWindow>(*this, options, sink);
}

void HeadlessWindowSystem::setForegroundWindow(void* handle)
{
    raised.push_back(handle);
    HostWindow* window = find(handle);
    if (!window || handle == foregroundWindow())
        return;
    if (HostWindow* previous = find(foregroundWindow()))
        focus(*previous, false);
    focus(*window, true);
}

void HeadlessWindowSystem::input(HostWindow& window, PumpEventType type, int x, int y,
                                 unsigned button, unsigned modifiers)
{
    PumpEvent event;
    event.type = type;
    event.window = window.handle();
    event.x = x;
    event.y = y;
    event.button = button;
    event.modifiers = modifiers;
    queue(event);
}

void HeadlessWindowSystem::press(HostWindow& window, int x, int y, unsigned button)
{
    input(window, PumpEventType::ButtonPress, x, y, button, 0);
    // As on X11: a pressed top-level window takes the focus itself.
    if (window.options().kind == WindowKind::TopLevel && window.enabled())
        setForegroundWindow(window.handle());
}

void HeadlessWindowSystem::release(HostWindow& window, int x, int y, unsigned button)
{
    input(window, PumpEventType::ButtonRelease, x, y, button, kButton1Mask << (button - 1));
}

void HeadlessWindowSystem::motion(HostWindow& window, int x, int y, unsigned buttons)
{
    input(window, PumpEventType::Motion, x, y, 0, buttons);
}

void HeadlessWindowSystem::wheel(HostWindow& window, int x, int y, int delta)
{
    LayerEvent event{LayerEvent::Kind::Wheel};
    event.x = x;
    event.y = y;
    event.delta = delta;
    queue(window, event);
}

void HeadlessWindowSystem::key(HostWindow& window, unsigned keycode, std::uint32_t keysym,
                               std::uint32_t character, unsigned modifiers)
{
    PumpEvent press;
    press.type = PumpEventType::KeyPress;
    press.window = window.handle();
    press.keycode = keycode;
    press.keysym = keysym;
    press.character = character;
    press.modifiers = modifiers;
    queue(press);
    PumpEvent release = press;
    release.type = PumpEventType::KeyRelease;
    queue(release);
}

void HeadlessWindowSystem::dropFiles(HostWindow& window, const std::vector<std::string>& paths,
                                     int x, int y)
{
    LayerEvent event{LayerEvent::Kind::FilesDropped};
    event.files = paths;
    event.x = x;
    event.y = y;
    queue(window, event);
}

void HeadlessWindowSystem::move(HostWindow& window, int x, int y)
{
    LayerEvent event{LayerEvent::Kind::Moved};
    event.area = {x, y, window.frame().width, window.frame().height};
    queue(window, event);
}

void HeadlessWindowSystem::resize(HostWindow& window, int width, int height)
{
    LayerEvent event{LayerEvent::Kind::Resized};
    event.area = {window.frame().x, window.frame().y, width, height};
    queue(window, event);
}

void HeadlessWindowSystem::iconify(HostWindow& window)
{
    queue(window, LayerEvent{LayerEvent::Kind::Iconified});
}

void HeadlessWindowSystem::requestClose(HostWindow& window)
{
    queue(window, LayerEvent{LayerEvent::Kind::CloseRequest});
}

void HeadlessWindowSystem::focus(HostWindow& window, bool in)
{
    queue(window, LayerEvent{in ? LayerEvent::Kind::Activated : LayerEvent::Kind::Deactivated});
    if (in)
        setForeground(window.handle());
}

void HeadlessWindowSystem::expose(HostWindow& window, const Rect& area)
{
    LayerEvent event{LayerEvent::Kind::Exposed};
    event.area = area;
    queue(window, event);
}

} // namespace platform::ui
