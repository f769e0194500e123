#include "platform/window/EditorWindow.h"

#include <algorithm>
#include <new>

namespace platform::window {

// Routes what a backend reports during one poll: input to the client (or, for
// a host-owned mouse, a timer tick in its place), exposures to the dirty
// region, destruction to a flag the pump acts on last.
class EditorWindow::Sink : public NativeSink {
public:
    explicit Sink(EditorWindow& window) : window_(window) {}

    void event(const Event& event) override
    {
        EditorWindow& w = window_;
        switch (event.type) {
        case Event::Type::MouseMove:
        case Event::Type::MouseDown:
        case Event::Type::MouseUp:
            if (w.ownMouse_)
                w.client_.handle(event);
            else
                w.client_.handle(Event{Event::Type::Timer});
            break;
        case Event::Type::Key:
            // Keys reach the editor only while a widget holds the keyboard
            // and the window, not the host, owns the keys.
            if (w.ownKeys_ && w.keysWanted())
                w.client_.handle(event);
            break;
        case Event::Type::FocusLost:
            if (w.ownKeys_ && w.keysWanted_.exchange(false)) {
                w.focusRequest_.store(FocusNone);
                w.client_.handle(event);
            }
            break;
        case Event::Type::Timer:
            w.client_.handle(event);
            break;
        }
    }
    void expose(const Rect& area) override { window_.dirty_.add(area); }
    void destroyed() override { gone = true; }

    bool gone = false;

private:
    EditorWindow& window_;
};

EditorWindow::EditorWindow(Client& client, const unsigned long* parent, const Rect& rect,
                           const char* title, bool ownMouse, bool ownKeys)
    : client_(client), ownMouse_(ownMouse), ownKeys_(ownKeys), width_(std::max(rect.width, 0)),
      height_(std::max(rect.height, 0)), dirty_(width_, height_), lastTick_(now())
{
    // Zeroed, and before the window exists: whatever the screen shows of the
    // buffer before the first paint is black, never leftover memory.
    const auto count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    try {
        pixels_.reset(new std::uint32_t[count ? count : 1]());
    } catch (const std::bad_alloc&) {
        width_ = height_ = 0;
        pixels_.reset(new std::uint32_t[1]());
    }
    if (const std::uint32_t fill = firstFill(); fill != 0)
        std::fill_n(pixels_.get(),
                    std::max<std::size_t>(static_cast<std::size_t>(width_) * height_, 1), fill);
    native_ = createNative(parent, {rect.x, rect.y, width_, height_}, title, pixels_.get());
    if (native_)
        handle_ = native_->handle();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::takeKeyboard() noexcept
{
    keysWanted_.store(true, std::memory_order_release);
    if (ownKeys_)
        focusRequest_.store(FocusTake, std::memory_order_release);
}

void EditorWindow::releaseKeyboard() noexcept
{
    keysWanted_.store(false, std::memory_order_release);
    if (ownKeys_)
        focusRequest_.store(FocusRelease, std::memory_order_release);
}

void EditorWindow::pump()
{
    if (!native_) {
        // No native part: requests are dropped, nothing arrives.
        dirty_.take();
        focusRequest_.store(FocusNone);
        return;
    }
    switch (focusRequest_.exchange(FocusNone, std::memory_order_acq_rel)) {
    case FocusTake:
        native_->takeFocus();
        break;
    case FocusRelease:
        native_->releaseFocus();
        break;
    default:
        break;
    }

    Sink sink(*this);
    native_->poll(sink);
    if (sink.gone) {
        // The system destroyed the window: forget it, make no further call
        // on it, and tell the client last, which may delete this window.
        native_.reset();
        handle_ = 0;
        client_.closed();
        return;
    }

    const std::int64_t time = now();
    if (time - lastTick_ >= timerPeriodMs) {
        lastTick_ = time;
        client_.handle(Event{Event::Type::Timer});
    }

    const Rect area = dirty_.take();
    if (!area.empty()) {
        client_.render(area);
        native_->present(pixels_.get(), area);
    }
}

} // namespace platform::window
