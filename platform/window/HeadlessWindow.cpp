#include "platform/window/HeadlessWindow.h"

#include <algorithm>
#include <atomic>
#include <map>

#include "platform/window/Png.h"

namespace platform::window {

namespace {

std::mutex registryMutex;
std::map<unsigned long, HeadlessWindow*>& registry()
{
    static std::map<unsigned long, HeadlessWindow*> windows;
    return windows;
}
// Ids in a range no X server hands out to clients at this size.
std::atomic<unsigned long> nextId{0x7F000001ul};

} // namespace

HeadlessWindow::HeadlessWindow(const unsigned long* parent, const Rect& rect, const std::uint32_t*)
    : id_(nextId.fetch_add(1)), hasParent_(parent != nullptr), rect_(rect),
      screen_(static_cast<std::size_t>(rect.width) * static_cast<std::size_t>(rect.height), 0)
{
    std::lock_guard<std::mutex> guard(registryMutex);
    registry()[id_] = this;
    // A new window is exposed whole, as a mapped X window is.
    queue_.push_back({Injected::Kind::Expose, {}, {0, 0, rect.width, rect.height}});
}

HeadlessWindow::~HeadlessWindow()
{
    std::lock_guard<std::mutex> guard(registryMutex);
    registry().erase(id_);
}

HeadlessWindow* HeadlessWindow::find(unsigned long id)
{
    std::lock_guard<std::mutex> guard(registryMutex);
    const auto found = registry().find(id);
    return found == registry().end() ? nullptr : found->second;
}

void HeadlessWindow::poll(NativeSink& sink)
{
    for (;;) {
        Injected item;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (queue_.empty())
                return;
            item = queue_.front();
            queue_.pop_front();
        }
        switch (item.kind) {
        case Injected::Kind::Event:
            sink.event(item.event);
            break;
        case Injected::Kind::Expose:
            sink.expose(item.area);
            break;
        case Injected::Kind::Destroy:
            sink.destroyed();
            return; // nothing arrives from a destroyed window
        }
    }
}

void HeadlessWindow::present(const std::uint32_t* pixels, const Rect& area)
{
    lastPresented_ = area;
    for (int y = area.y; y < area.y + area.height; ++y)
        std::copy_n(pixels + static_cast<std::size_t>(y) * rect_.width + area.x, area.width,
                    screen_.begin() + static_cast<std::ptrdiff_t>(y) * rect_.width + area.x);
}

void HeadlessWindow::inject(const Injected& item)
{
    std::lock_guard<std::mutex> guard(mutex_);
    queue_.push_back(item);
}

void HeadlessWindow::mouseMove(int x, int y, int modifiers)
{
    inject({Injected::Kind::Event, {Event::Type::MouseMove, x, y, 0, modifiers}, {}});
}

void HeadlessWindow::mouseDown(int x, int y, int button, int modifiers)
{
    inject({Injected::Kind::Event, {Event::Type::MouseDown, x, y, button, modifiers}, {}});
}

void HeadlessWindow::mouseUp(int x, int y, int button, int modifiers)
{
    inject({Injected::Kind::Event, {Event::Type::MouseUp, x, y, button, modifiers}, {}});
}

void HeadlessWindow::key(Key key, char character)
{
    Event event{Event::Type::Key};
    event.key = key;
    event.character = key == Key::Character ? character : 0;
    inject({Injected::Kind::Event, event, {}});
}

void HeadlessWindow::focusOut()
{
    focused_ = false;
    inject({Injected::Kind::Event, {Event::Type::FocusLost}, {}});
}

void HeadlessWindow::timer()
{
    inject({Injected::Kind::Event, {Event::Type::Timer}, {}});
}

void HeadlessWindow::expose(const Rect& area)
{
    inject({Injected::Kind::Expose, {}, area});
}

void HeadlessWindow::destroy()
{
    inject({Injected::Kind::Destroy, {}, {}});
}

bool HeadlessWindow::writePng(const std::string& path) const
{
    return window::writePng(path, screen_.data(), rect_.width, rect_.height);
}

} // namespace platform::window
