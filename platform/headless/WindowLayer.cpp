#include "platform/headless/WindowLayer.h"

#include <algorithm>

namespace platform::ui {

HostWindow::HostWindow(WindowSystem& system, const WindowOptions& options, WindowSink& sink)
    : system_(system), options_(options), sink_(sink), frame_(options.frame)
{
}

HostWindow::~HostWindow()
{
    system_.removed(this);
}

void HostWindow::setHandle(void* handle)
{
    handle_ = handle;
    system_.added(this);
}

WindowSystem::~WindowSystem() = default;

void WindowSystem::added(HostWindow* window)
{
    windows_.push_back(window);
}

void WindowSystem::removed(HostWindow* window)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    for (HostWindow* other : windows_)
        if (other->owner_ == window)
            other->owner_ = nullptr;
    if (foreground_ == window->handle())
        foreground_ = nullptr;
    // Queued events of the window go with it: their handle may be reused.
    void* handle = window->handle();
    for (auto it = queue_.begin(); it != queue_.end();) {
        if (it->window == handle) {
            pending_.erase(it->detail);
            it = queue_.erase(it);
        } else {
            ++it;
        }
    }
}

HostWindow* WindowSystem::find(void* handle) const
{
    if (!handle)
        return nullptr;
    for (HostWindow* window : windows_)
        if (window->handle() == handle)
            return window;
    return nullptr;
}

void WindowSystem::queue(HostWindow& window, LayerEvent event)
{
    PumpEvent pumped;
    pumped.type = PumpEventType::Other;
    pumped.window = window.handle();
    pumped.detail = nextSerial_++;
    pending_.emplace(pumped.detail, std::move(event));
    queue_.push_back(pumped);
}

bool WindowSystem::poll(PumpEvent& event)
{
    if (queue_.empty())
        fetch();
    while (!queue_.empty()) {
        event = queue_.front();
        queue_.pop_front();
        const bool input =
            event.type == PumpEventType::KeyPress || event.type == PumpEventType::KeyRelease ||
            event.type == PumpEventType::ButtonPress ||
            event.type == PumpEventType::ButtonRelease || event.type == PumpEventType::Motion;
        bool wheel = false;
        if (event.type == PumpEventType::Other) {
            const auto found = pending_.find(event.detail);
            wheel = found != pending_.end() && found->second.kind == LayerEvent::Kind::Wheel;
        }
        // A disabled window drops its pointer and key input here, before the
        // keyboard service or the window could see it.
        const HostWindow* window = find(event.window);
        if ((input || wheel) && window && !window->enabled()) {
            pending_.erase(event.detail);
            continue;
        }
        return true;
    }
    return false;
}

void WindowSystem::dispatch(const PumpEvent& event)
{
    HostWindow* window = find(event.window);
    if (event.type == PumpEventType::Other) {
        const auto found = pending_.find(event.detail);
        if (found == pending_.end())
            return;
        const LayerEvent layer = std::move(found->second);
        pending_.erase(found);
        if (window)
            deliver(*window, layer);
        return;
    }
    if (!window)
        return;
    switch (event.type) {
    case PumpEventType::ButtonPress:
        window->sink().pointer(PointerAction::Down, event.x, event.y, 0);
        break;
    case PumpEventType::ButtonRelease:
        window->sink().pointer(PointerAction::Up, event.x, event.y, 0);
        break;
    case PumpEventType::Motion: {
        const bool held = event.modifiers & (kButton1Mask | kButton2Mask | kButton3Mask);
        window->sink().pointer(held ? PointerAction::Drag : PointerAction::Move, event.x, event.y,
                               0);
        break;
    }
    default:
        break;
    }
}

void WindowSystem::deliver(HostWindow& window, const LayerEvent& event)
{
    WindowSink& sink = window.sink();
    switch (event.kind) {
    case LayerEvent::Kind::Exposed:
        sink.exposed(event.area);
        break;
    case LayerEvent::Kind::Moved:
        if (window.frame_.x == event.area.x && window.frame_.y == event.area.y)
            break;
        window.frame_.x = event.area.x;
        window.frame_.y = event.area.y;
        sink.moved(event.area.x, event.area.y);
        break;
    case LayerEvent::Kind::Resized:
        if (window.frame_.width == event.area.width && window.frame_.height == event.area.height)
            break;
        window.frame_.width = event.area.width;
        window.frame_.height = event.area.height;
        sink.resized(event.area.width, event.area.height);
        break;
    case LayerEvent::Kind::Iconified:
        // The client area keeps its geometry while the window is an icon.
        break;
    case LayerEvent::Kind::CloseRequest:
        sink.closeRequested();
        break;
    case LayerEvent::Kind::Activated:
        foreground_ = window.handle();
        sink.focusChanged(true);
        break;
    case LayerEvent::Kind::Deactivated:
        sink.focusChanged(false);
        break;
    case LayerEvent::Kind::Wheel:
        sink.pointer(PointerAction::Wheel, event.x, event.y, event.delta);
        break;
    case LayerEvent::Kind::FilesDropped:
        sink.filesDropped(event.files, event.x, event.y);
        break;
    }
}

void WindowSystem::postQuit()
{
    ++quitsPosted_;
    PumpEvent quit;
    quit.type = PumpEventType::Quit;
    queue_.push_back(quit);
}

void WindowSystem::enableWindow(void* handle, bool enable)
{
    if (HostWindow* window = find(handle))
        window->setEnabled(enable);
}

} // namespace platform::ui
