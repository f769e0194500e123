#include "platform/window/X11Window.h"

#include <X11/Xutil.h>

#include <bit>
#include <cstdio>
#include <cstdlib>

#include "platform/window/KeyMapping.h"
#include "platform/window/VisualPixel.h"
#include "platform/window/X11Errors.h"

namespace platform::window {

X11Window::X11Window(Display* display, const Rect& rect) : display_(display), rect_(rect)
{
    x11errors::attach(display_);
}

std::unique_ptr<Native> X11Window::create(const unsigned long* parent, const Rect& rect,
                                          const char* title, const std::uint32_t* pixels)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "editor window: no X display, the editor stays invisible\n");
        return nullptr;
    }
    std::unique_ptr<X11Window> window(new X11Window(display, rect));
    if (!window->open(parent, title, pixels)) {
        std::fprintf(
            stderr,
            "editor window: parent window 0x%lx does not exist, the editor stays invisible\n",
            parent ? *parent : 0ul);
        return nullptr;
    }
    return window;
}

bool X11Window::open(const unsigned long* parent, const char* title, const std::uint32_t* pixels)
{
    const int screen = DefaultScreen(display_);
    parent_ = parent ? *parent : RootWindow(display_, screen);
    const unsigned width = rect_.width > 0 ? static_cast<unsigned>(rect_.width) : 1;
    const unsigned height = rect_.height > 0 ? static_cast<unsigned>(rect_.height) : 1;

    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, screen);
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | FocusChangeMask | StructureNotifyMask;
    const unsigned long errorsBefore = x11errors::count(display_);
    // A child goes where the host asks; a top-level window where the window
    // manager puts it.
    const int x = parent ? rect_.x : 0, y = parent ? rect_.y : 0;
    window_ = XCreateWindow(display_, parent_, x, y, width, height, 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    // Once, to learn whether the parent id named a window at all.
    XSync(display_, False);
    XWindowAttributes created{};
    if (x11errors::count(display_) != errorsBefore ||
        !XGetWindowAttributes(display_, window_, &created)) {
        window_ = 0;
        return false;
    }
    if (!parent) {
        XStoreName(display_, window_, title);
        deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, window_, &deleteWindow_, 1);
    }

    gc_ = XCreateGC(display_, window_, 0, nullptr);
    Visual* visual = created.visual;
    direct_ = visualTakesWords(*visual, created.depth);
    if (direct_) {
        image_ = XCreateImage(display_, visual, static_cast<unsigned>(created.depth), ZPixmap, 0,
                              reinterpret_cast<char*>(const_cast<std::uint32_t*>(pixels)), width,
                              height, 32, static_cast<int>(width * 4));
        // The buffer's words in this machine's byte order; Xlib swaps for a
        // server of the other order.
        if (image_)
            image_->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    } else {
        image_ = XCreateImage(display_, visual, static_cast<unsigned>(created.depth), ZPixmap, 0,
                              nullptr, width, height, 32, 0);
        if (image_) {
            image_->data = static_cast<char*>(
                std::calloc(static_cast<std::size_t>(image_->bytes_per_line), height));
            if (!image_->data) {
                XDestroyImage(image_);
                image_ = nullptr;
            }
        }
    }
    // The buffer is zeroed already: what the window first shows is black.
    XMapWindow(display_, window_);
    XFlush(display_);
    return true;
}

bool X11Window::onOwnThread(const char* call) const
{
    if (std::this_thread::get_id() == owner_)
        return true;
    std::fprintf(stderr, "editor window: %s called off the thread that pumps the window\n", call);
#ifndef NDEBUG
    std::abort();
#endif
    return false;
}

X11Window::~X11Window()
{
    // The window goes either way: its owner cannot be pumping a window that
    // is being destroyed.
    onOwnThread("close");
    if (image_) {
        if (direct_)
            image_->data = nullptr; // the buffer belongs to the editor window
        XDestroyImage(image_);
    }
    if (window_)
        XDestroyWindow(display_, window_);
    if (gc_)
        XFreeGC(display_, gc_);
    XSync(display_, False);
    x11errors::detach(display_);
    XCloseDisplay(display_);
}

void X11Window::forget()
{
    window_ = 0;
}

void X11Window::poll(NativeSink& sink)
{
    if (!onOwnThread("poll"))
        return;
    while (window_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        translate(event, sink);
    }
}

void X11Window::translate(const XEvent& event, NativeSink& sink)
{
    switch (event.type) {
    case Expose:
        sink.expose({event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height});
        break;
    case ButtonPress:
    case ButtonRelease: {
        const int button = translateButton(event.xbutton.button);
        if (!button)
            break; // the wheel and extra buttons
        // The state is the one before the event: a press adds its button, a
        // release takes it away.
        int modifiers = translateModifiers(event.xbutton.state);
        modifiers = event.type == ButtonPress ? modifiers | button : modifiers & ~button;
        Event out{event.type == ButtonPress ? Event::Type::MouseDown : Event::Type::MouseUp};
        out.x = event.xbutton.x;
        out.y = event.xbutton.y;
        out.button = button;
        out.modifiers = modifiers;
        sink.event(out);
        break;
    }
    case MotionNotify: {
        Event out{Event::Type::MouseMove};
        out.x = event.xmotion.x;
        out.y = event.xmotion.y;
        out.modifiers = translateModifiers(event.xmotion.state);
        sink.event(out);
        break;
    }
    case KeyPress: {
        char text[8] = {};
        KeySym keysym = NoSymbol;
        XKeyEvent copy = event.xkey;
        const int length = XLookupString(&copy, text, sizeof text, &keysym, nullptr);
        Event out{Event::Type::Key};
        if (translateKey(keysym, text, length > 0 ? static_cast<std::size_t>(length) : 0, out.key,
                         out.character))
            sink.event(out);
        break;
    }
    case FocusOut:
        // Focus moving between the window and its own pointer or children is
        // no loss.
        if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer)
            sink.event(Event{Event::Type::FocusLost});
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_) {
            forget();
            sink.destroyed();
        }
        break;
    case ClientMessage:
        // The window manager's close button counts as the system destroying
        // the window.
        if (deleteWindow_ && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) {
            XDestroyWindow(display_, window_);
            forget();
            sink.destroyed();
        }
        break;
    default:
        break;
    }
}

void X11Window::present(const std::uint32_t* pixels, const Rect& area)
{
    if (!onOwnThread("present"))
        return;
    if (!window_ || !image_ || area.empty())
        return;
    if (!direct_) {
        const Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display_, window_, &attributes))
            visual = attributes.visual;
        for (int y = area.y; y < area.y + area.height; ++y)
            for (int x = area.x; x < area.x + area.width; ++x) {
                const std::uint32_t p = pixels[static_cast<std::size_t>(y) * rect_.width + x];
                XPutPixel(image_, x, y, visualPixel(p, *visual));
            }
    }
    XPutImage(display_, window_, gc_, image_, area.x, area.y, area.x, area.y,
              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
    XFlush(display_);
}

void X11Window::takeFocus()
{
    if (!onOwnThread("takeFocus"))
        return;
    if (!window_)
        return;
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XFlush(display_);
}

void X11Window::releaseFocus()
{
    if (!onOwnThread("releaseFocus"))
        return;
    if (!window_)
        return;
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    if (focus == window_) {
        const bool topLevel = deleteWindow_ != 0;
        XSetInputFocus(display_, topLevel ? PointerRoot : parent_, RevertToPointerRoot,
                       CurrentTime);
    }
    XFlush(display_);
}

} // namespace platform::window
