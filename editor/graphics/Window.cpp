#include "editor/graphics/Window.h"

#include "editor/graphics/Painter.h"
#include "platform/window/EditorWindow.h"

namespace Zq::Application::Graphics {

namespace pw = platform::window;

// Enters the document's lock for one event, when there is one.
class EventLock {
public:
    explicit EventLock(platform::CriticalSection* lock) : lock_(lock)
    {
        if (lock_)
            lock_->enter();
    }
    ~EventLock()
    {
        if (lock_)
            lock_->leave();
    }
    EventLock(const EventLock&) = delete;
    EventLock& operator=(const EventLock&) = delete;

private:
    platform::CriticalSection* lock_;
};

struct Window::Impl final : pw::Client {
    Impl(Window& owner, Callback* receiver, const unsigned long* parent, const BasicRect<int>& rect,
         bool ownMouse, bool ownKeys, platform::CriticalSection* lock)
        : ownMouse(ownMouse), ownKeys(ownKeys), lock(lock), owner(owner), receiver(receiver),
          native(*this, parent, {rect.x, rect.y, rect.width, rect.height}, "Zq GUI", ownMouse,
                 ownKeys),
          painter({native.width(), native.height()}, native.width() * 4, native.pixels())
    {
    }

    void handle(const pw::Event& event) override
    {
        const BasicPoint<int> point{event.x, event.y};
        EventLock guard(lock);
        receiver->beginEvent();
        switch (event.type) {
        case pw::Event::Type::MouseMove:
            receiver->mouseMove(point, event.modifiers);
            break;
        case pw::Event::Type::MouseDown:
            receiver->mouseDown(point, event.button, event.modifiers);
            break;
        case pw::Event::Type::MouseUp:
            receiver->mouseUp(point, event.button, event.modifiers);
            break;
        case pw::Event::Type::Key:
            // Keys from the window carry no modifiers.
            receiver->key(static_cast<KeyboardButtons>(event.key), event.character, 0);
            break;
        case pw::Event::Type::FocusLost:
            receiver->focusLost();
            break;
        case pw::Event::Type::Timer:
            receiver->timer();
            break;
        }
        receiver->endEvent();
    }

    void render(const pw::Rect& area) override
    {
        EventLock guard(lock);
        receiver->beginEvent();
        painter.setOrigin({0, 0});
        painter.setClip({0, 0, native.width(), native.height()});
        receiver->paint(&painter, {area.x, area.y, area.width, area.height});
        receiver->endEvent();
    }

    void closed() override
    {
        // The handler may delete the window: keep what is needed on the stack.
        Window* const self = &owner;
        EventLock guard(lock);
        self->closed(self);
    }

    const bool ownMouse;
    const bool ownKeys;
    platform::CriticalSection* const lock;
    Window& owner;
    Callback* const receiver;
    pw::EditorWindow native;
    Painter painter;
};

Window::Window(Callback* receiver, void* parentHandle, const BasicRect<int>& rect, bool ownMouse,
               bool ownKeys, platform::CriticalSection* lock)
    : impl_(std::make_unique<Impl>(*this, receiver, static_cast<const unsigned long*>(parentHandle),
                                   rect, ownMouse, ownKeys, lock))
{
    receiver->attach(this);
}

Window::~Window()
{
    // Detaching is part of closing the editor, which runs without the lock.
    impl_->receiver->beginEvent();
    impl_->receiver->detach(this);
    impl_->receiver->endEvent();
    impl_.reset();
}

void Window::invalidate(const BasicRect<int>& area)
{
    impl_->native.invalidate({area.x, area.y, area.width, area.height});
}

void Window::update()
{
    // Nothing to flush: the next pump paints whatever was invalidated.
}

void Window::takeKeyboard()
{
    impl_->native.takeKeyboard();
}

void Window::releaseKeyboard()
{
    impl_->native.releaseKeyboard();
}

void* Window::getWindowHandle()
{
    return impl_->native.handle();
}

void Window::pump()
{
    impl_->native.pump();
}

} // namespace Zq::Application::Graphics
