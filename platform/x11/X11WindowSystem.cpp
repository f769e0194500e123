#include "platform/x11/X11WindowSystem.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "platform/window/VisualPixel.h"
#include "platform/x11/X11ErrorReport.h"
#include "platform/x11/X11Hints.h"

namespace platform::ui {

namespace {

constexpr long kClientEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | KeyPressMask | KeyReleaseMask |
                               StructureNotifyMask;
constexpr long kOuterEvents = ExposureMask | ButtonPressMask | KeyPressMask | KeyReleaseMask |
                              FocusChangeMask | StructureNotifyMask;
constexpr unsigned long kDndVersion = 5;

void* toHandle(::Window window)
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
}

} // namespace

// ------------------------------------------------------------------ windows

X11HostWindow::X11HostWindow(X11WindowSystem& system, const WindowOptions& options,
                             WindowSink& sink)
    : HostWindow(system, options, sink), x11_(system), display_(system.display())
{
    if (options.kind != WindowKind::Child && options.menuStrip)
        strip_ = WindowSystem::kMenuStripHeight;
}

bool X11HostWindow::open()
{
    const int screen = DefaultScreen(display_);
    const ::Window root = RootWindow(display_, screen);
    const unsigned width = static_cast<unsigned>(std::max(frame_.width, 1));
    const unsigned height = static_cast<unsigned>(std::max(frame_.height, 1));
    Visual* visual = DefaultVisual(display_, screen);

    XSetWindowAttributes attributes{};
    attributes.background_pixel = window::visualPixel(options_.background & 0xFFFFFF, *visual);
    attributes.cursor = x11_.currentCursor();
    const unsigned long errorsBefore = x11::errorCount(display_);

    if (options_.kind == WindowKind::Child) {
        const auto* parent = static_cast<X11HostWindow*>(x11_.find(options_.parent));
        if (!parent)
            return false;
        attributes.event_mask = kClientEvents;
        client_ = outer_ = XCreateWindow(display_, parent->client_, frame_.x, frame_.y, width,
                                         height, 0, CopyFromParent, InputOutput, CopyFromParent,
                                         CWBackPixel | CWEventMask | CWCursor, &attributes);
    } else {
        attributes.event_mask = kOuterEvents;
        attributes.override_redirect = options_.kind == WindowKind::Popup;
        outer_ = XCreateWindow(
            display_, root, frame_.x, frame_.y - strip_, width,
            height + static_cast<unsigned>(strip_), 0, CopyFromParent, InputOutput, CopyFromParent,
            CWBackPixel | CWEventMask | CWCursor | CWOverrideRedirect, &attributes);
        attributes.event_mask = kClientEvents;
        client_ = XCreateWindow(display_, outer_, 0, strip_, width, height, 0, CopyFromParent,
                                InputOutput, CopyFromParent, CWBackPixel | CWEventMask | CWCursor,
                                &attributes);
    }
    XSync(display_, False);
    if (x11::errorCount(display_) != errorsBefore) {
        if (client_ && client_ != outer_)
            XDestroyWindow(display_, client_);
        if (outer_)
            XDestroyWindow(display_, outer_);
        outer_ = client_ = 0;
        return false;
    }
    gc_ = XCreateGC(display_, client_, 0, nullptr);
    XMapWindow(display_, client_);

    if (options_.kind != WindowKind::Child) {
        XStoreName(display_, outer_, options_.title.c_str());
        XClassHint classHint{};
        std::string name = options_.className.empty() ? "epiWindow" : options_.className;
        classHint.res_name = name.data();
        classHint.res_class = name.data();
        XSetClassHint(display_, outer_, &classHint);
        XSetWMProtocols(display_, outer_, &x11_.wmDeleteWindow_, 1);
        const x11::MotifHints motif = x11::motifHintsFor(options_);
        const long words[5] = {static_cast<long>(motif.flags), static_cast<long>(motif.functions),
                               static_cast<long>(motif.decorations), motif.inputMode,
                               static_cast<long>(motif.status)};
        XChangeProperty(display_, outer_, x11_.motifHints_, x11_.motifHints_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(words), 5);
        std::vector<Atom> state;
        if (options_.modal)
            state.push_back(x11_.netWmStateModal_);
        if (options_.maximised) {
            state.push_back(x11_.netWmStateMaxVert_);
            state.push_back(x11_.netWmStateMaxHorz_);
        }
        if (!state.empty())
            XChangeProperty(display_, outer_, x11_.netWmState_, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(state.data()),
                            static_cast<int>(state.size()));
        if (options_.acceptsFiles)
            XChangeProperty(display_, outer_, x11_.xdndAware_, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&kDndVersion), 1);
        applySizeHints();
    }
    setHandle(toHandle(client_));
    XFlush(display_);
    return true;
}

X11HostWindow::~X11HostWindow()
{
    if (grabbing_)
        XUngrabPointer(display_, CurrentTime);
    if (gc_)
        XFreeGC(display_, gc_);
    if (outer_)
        XDestroyWindow(display_, outer_); // the client window goes with it
    XFlush(display_);
}

void X11HostWindow::applySizeHints()
{
    if (options_.kind == WindowKind::Child)
        return;
    XSizeHints hints = x11::sizeHintsFor(options_, frame_.width, frame_.height);
    hints.x = frame_.x;
    hints.y = frame_.y - strip_;
    XSetWMNormalHints(display_, outer_, &hints);
}

void X11HostWindow::setFrame(const Rect& frame)
{
    frame_ = frame;
    const unsigned width = static_cast<unsigned>(std::max(frame.width, 1));
    const unsigned height = static_cast<unsigned>(std::max(frame.height, 1));
    if (options_.kind == WindowKind::Child) {
        XMoveResizeWindow(display_, client_, frame.x, frame.y, width, height);
    } else {
        applySizeHints();
        XMoveResizeWindow(display_, outer_, frame.x, frame.y - strip_, width,
                          height + static_cast<unsigned>(strip_));
        XResizeWindow(display_, client_, width, height);
    }
    XFlush(display_);
}

void X11HostWindow::show(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible)
        XMapRaised(display_, outer_);
    else
        XUnmapWindow(display_, outer_);
    XFlush(display_);
}

void X11HostWindow::setTitle(const std::string& title)
{
    options_.title = title;
    if (options_.kind != WindowKind::Child)
        XStoreName(display_, outer_, title.c_str());
    XFlush(display_);
}

void X11HostWindow::setOwner(HostWindow* owner)
{
    owner_ = owner;
    if (options_.kind == WindowKind::Child)
        return;
    if (owner)
        XSetTransientForHint(display_, outer_, static_cast<X11HostWindow*>(owner)->outer_);
    else
        XDeleteProperty(display_, outer_, XA_WM_TRANSIENT_FOR);
    XFlush(display_);
}

void X11HostWindow::grabPointer()
{
    // Presses, releases and motion keep coming to the client area while a
    // button is held, wherever the pointer goes.
    grabbing_ = XGrabPointer(display_, client_, False,
                             ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                             GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    XFlush(display_);
}

void X11HostWindow::releasePointer()
{
    if (grabbing_)
        XUngrabPointer(display_, CurrentTime);
    grabbing_ = false;
    XFlush(display_);
}

void X11HostWindow::setSizeLimits(const WindowOptions& limits)
{
    options_.takeSizeLimits(limits);
    applySizeHints();
    XFlush(display_);
}

void X11HostWindow::present(const std::uint32_t* pixels, int stride, const Rect& area)
{
    putPixels(client_, pixels, stride, area, frame_.height);
}

void X11HostWindow::presentStrip(const std::uint32_t* pixels, int stride)
{
    // The strip is the outer window's top, above the client window.
    if (strip_ > 0)
        putPixels(outer_, pixels, stride, {0, 0, frame_.width, strip_}, strip_);
}

void X11HostWindow::putPixels(::Window target, const std::uint32_t* pixels, int stride,
                              const Rect& area, int limitHeight)
{
    const int left = std::max(area.x, 0);
    const int top = std::max(area.y, 0);
    const int width = std::min(area.x + area.width, frame_.width) - left;
    const int height = std::min(area.y + area.height, limitHeight) - top;
    if (!pixels || width <= 0 || height <= 0)
        return;
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    const int depth = DefaultDepth(display_, screen);
    XImage* image =
        XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image)
        return;
    image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line),
                                                 static_cast<std::size_t>(height)));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    const bool words = window::visualTakesWords(*visual, depth) && image->bits_per_pixel == 32;
    if (words)
        image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<std::size_t>(top + y) * stride + left;
        if (words) {
            auto* out = reinterpret_cast<std::uint32_t*>(image->data + y * image->bytes_per_line);
            for (int x = 0; x < width; ++x)
                out[x] = row[x] & 0xFFFFFF;
        } else {
            for (int x = 0; x < width; ++x)
                XPutPixel(image, x, y, window::visualPixel(row[x] & 0xFFFFFF, *visual));
        }
    }
    XPutImage(display_, target, gc_, image, 0, 0, left, top, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XDestroyImage(image); // frees the data too
    XFlush(display_);
}

// ------------------------------------------------------------------- system

std::unique_ptr<X11WindowSystem> X11WindowSystem::open(const char* displayName)
{
    x11::installErrorReport();
    Display* display = XOpenDisplay(displayName);
    if (!display) {
        std::fprintf(stderr, "windows: no X display\n");
        return nullptr;
    }
    return std::unique_ptr<X11WindowSystem>(new X11WindowSystem(display));
}

X11WindowSystem::X11WindowSystem(Display* display) : display_(display)
{
    const auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    wmProtocols_ = atom("WM_PROTOCOLS");
    wmDeleteWindow_ = atom("WM_DELETE_WINDOW");
    motifHints_ = atom("_MOTIF_WM_HINTS");
    netWmState_ = atom("_NET_WM_STATE");
    netWmStateModal_ = atom("_NET_WM_STATE_MODAL");
    netWmStateMaxVert_ = atom("_NET_WM_STATE_MAXIMIZED_VERT");
    netWmStateMaxHorz_ = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    xdndAware_ = atom("XdndAware");
    xdndEnter_ = atom("XdndEnter");
    xdndPosition_ = atom("XdndPosition");
    xdndStatus_ = atom("XdndStatus");
    xdndDrop_ = atom("XdndDrop");
    xdndLeave_ = atom("XdndLeave");
    xdndFinished_ = atom("XdndFinished");
    xdndSelection_ = atom("XdndSelection");
    xdndTypeList_ = atom("XdndTypeList");
    xdndActionCopy_ = atom("XdndActionCopy");
    uriList_ = atom("text/uri-list");
    dropProperty_ = atom("EPI_DROPPED_FILES");
    arrow_ = XCreateFontCursor(display, XC_left_ptr);
    busy_ = XCreateFontCursor(display, XC_watch);
    // The hidden cursor: a 1 x 1 bitmap with an empty mask.
    const ::Window root = DefaultRootWindow(display);
    const char empty = 0;
    Pixmap pixmap = XCreateBitmapFromData(display, root, &empty, 1, 1);
    XColor black{};
    blank_ = XCreatePixmapCursor(display, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(display, pixmap);
    // A pipe wakes the loop's wait for a quit posted from any thread.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

X11WindowSystem::~X11WindowSystem()
{
    XFreeCursor(display_, arrow_);
    XFreeCursor(display_, busy_);
    XFreeCursor(display_, blank_);
    XSync(display_, False);
    x11::forgetDisplay(display_);
    XCloseDisplay(display_);
    if (wakeRead_ >= 0)
        close(wakeRead_);
    if (wakeWrite_ >= 0)
        close(wakeWrite_);
}

std::unique_ptr<HostWindow> X11WindowSystem::createWindow(const WindowOptions& options,
                                                          WindowSink& sink)
{
    std::unique_ptr<X11HostWindow> window(new X11HostWindow(*this, options, sink));
    if (!window->open())
        return nullptr;
    return window;
}

X11HostWindow* X11WindowSystem::byXWindow(::Window xwindow) const
{
    for (HostWindow* window : windows()) {
        auto* x11 = static_cast<X11HostWindow*>(window);
        if (x11->outer_ == xwindow || x11->client_ == xwindow)
            return x11;
    }
    return nullptr;
}

::Window X11WindowSystem::currentCursor() const
{
    if (!cursorShown_)
        return blank_;
    return cursor_ == PumpCursor::Wait ? busy_ : arrow_;
}

void X11WindowSystem::wait(double maxSeconds)
{
    XFlush(display_);
    if (XPending(display_) > 0)
        return;
    pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const double ms = std::clamp(maxSeconds * 1000.0, 0.0, static_cast<double>(INT_MAX));
    ::poll(fds, wakeRead_ >= 0 ? 2 : 1, static_cast<int>(ms + 0.999));
    if (wakeRead_ >= 0 && (fds[1].revents & POLLIN)) {
        char drained[64];
        while (read(wakeRead_, drained, sizeof drained) > 0) {
        }
    }
}

void X11WindowSystem::postQuit()
{
    WindowSystem::postQuit();
    if (wakeWrite_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
    }
}

ScreenSize X11WindowSystem::screenSize() const
{
    const int screen = DefaultScreen(display_);
    return {DisplayWidth(display_, screen), DisplayHeight(display_, screen)};
}

void X11WindowSystem::focusSelf(X11HostWindow& window)
{
    // No window manager is assumed: a top-level window takes the focus itself
    // when it is mapped or pressed. Only a viewable window may have it.
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window.outer_, &attributes) &&
        attributes.map_state == IsViewable)
        XSetInputFocus(display_, window.outer_, RevertToParent, CurrentTime);
}

void X11WindowSystem::setForegroundWindow(void* handle)
{
    auto* window = static_cast<X11HostWindow*>(find(handle));
    if (!window || window->options().kind == WindowKind::Child)
        return;
    XRaiseWindow(display_, window->outer_);
    focusSelf(*window);
    XFlush(display_);
}

void X11WindowSystem::setCursor(PumpCursor cursor)
{
    cursor_ = cursor;
    for (HostWindow* window : windows())
        XDefineCursor(display_, static_cast<X11HostWindow*>(window)->client_, currentCursor());
    XFlush(display_);
}

void X11WindowSystem::showCursor(bool show)
{
    cursorShown_ = show;
    setCursor(cursor_);
}

void X11WindowSystem::fetch()
{
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        translate(event);
    }
}

void X11WindowSystem::translate(XEvent& event)
{
    X11HostWindow* window = byXWindow(event.xany.window);
    if (!window)
        return;
    const bool onClient = event.xany.window == window->client_;
    switch (event.type) {
    case KeyPress:
    case KeyRelease:
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
        translateInput(*window, event);
        break;
    case Expose:
        // The strip reports its exposures above the client area (negative
        // rows), where the menu bar draws.
        if (onClient)
            queue(*window,
                  {LayerEvent::Kind::Exposed,
                   {event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height}});
        else if (event.xexpose.window == window->outer_ && window->strip_ > 0 &&
                 event.xexpose.y < window->strip_)
            queue(*window, {LayerEvent::Kind::Exposed,
                            {0, -window->strip_, window->frame_.width, window->strip_}});
        break;
    case ConfigureNotify: {
        if (event.xconfigure.window != window->outer_)
            break;
        Rect area{event.xconfigure.x, event.xconfigure.y, event.xconfigure.width,
                  event.xconfigure.height - window->strip_};
        if (window->options().kind != WindowKind::Child) {
            // Under a reparenting window manager the event's origin is the
            // frame's: ask where the client area is on the screen.
            ::Window child = 0;
            XTranslateCoordinates(display_, window->client_, DefaultRootWindow(display_), 0, 0,
                                  &area.x, &area.y, &child);
            if (window->strip_ > 0)
                XResizeWindow(display_, window->client_,
                              static_cast<unsigned>(std::max(area.width, 1)),
                              static_cast<unsigned>(std::max(area.height, 1)));
        }
        queue(*window, {LayerEvent::Kind::Moved, area});
        queue(*window, {LayerEvent::Kind::Resized, area});
        break;
    }
    case MapNotify:
        if (event.xmap.window == window->outer_ && window->options().kind == WindowKind::TopLevel)
            focusSelf(*window);
        break;
    case UnmapNotify:
        if (event.xunmap.window == window->outer_ && window->visible())
            queue(*window, LayerEvent{LayerEvent::Kind::Iconified});
        break;
    case FocusIn:
    case FocusOut:
        // Focus moving inside the window (to the editor's child and back)
        // neither activates nor deactivates it.
        if (event.xfocus.detail == NotifyInferior || event.xfocus.detail == NotifyPointer ||
            event.xfocus.window != window->outer_)
            break;
        queue(*window, LayerEvent{event.type == FocusIn ? LayerEvent::Kind::Activated
                                                        : LayerEvent::Kind::Deactivated});
        break;
    case ClientMessage:
        translateClientMessage(*window, event.xclient);
        break;
    case SelectionNotify:
        receiveDrop(*window, event.xselection);
        break;
    default:
        break;
    }
}

void X11WindowSystem::translateInput(X11HostWindow& window, XEvent& event)
{
    PumpEvent out;
    out.window = window.handle();
    // Pointer events reported on the outer window lie in the strip or have
    // their origin there.
    const int dy = event.xany.window == window.outer_ ? -window.strip_ : 0;
    switch (event.type) {
    case KeyPress:
    case KeyRelease: {
        char text[8] = {};
        KeySym keysym = NoSymbol;
        const int length = XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
        out.type = event.type == KeyPress ? pumped::keyPress : pumped::keyRelease;
        out.keycode = event.xkey.keycode;
        out.keysym = static_cast<std::uint32_t>(keysym);
        out.character = length == 1 ? static_cast<unsigned char>(text[0]) : 0;
        out.modifiers = event.xkey.state;
        out.x = event.xkey.x;
        out.y = event.xkey.y + dy;
        queue(out);
        return;
    }
    case ButtonPress:
        if (window.options().kind == WindowKind::TopLevel && window.enabled())
            focusSelf(window);
        [[fallthrough]];
    case ButtonRelease: {
        const unsigned button = event.xbutton.button;
        // A press in the strip comes with a negative row: the menu bar's.
        const int x = event.xbutton.x, y = event.xbutton.y + dy;
        if (button == Button4 || button == Button5) {
            // One wheel notch per press; the release says nothing more.
            if (event.type == ButtonPress) {
                LayerEvent wheel{LayerEvent::Kind::Wheel};
                wheel.x = x;
                wheel.y = y;
                wheel.delta = button == Button4 ? 120 : -120;
                queue(window, wheel);
            }
            return;
        }
        if (button < Button1 || button > Button3)
            return;
        out.type = event.type == ButtonPress ? pumped::buttonPress : pumped::buttonRelease;
        out.button = button;
        out.modifiers = event.xbutton.state;
        out.x = x;
        out.y = y;
        queue(out);
        return;
    }
    case MotionNotify:
        out.type = pumped::motion;
        out.modifiers = event.xmotion.state;
        out.x = event.xmotion.x;
        out.y = event.xmotion.y + dy;
        queue(out);
        return;
    default:
        return;
    }
}

void X11WindowSystem::translateClientMessage(X11HostWindow& window,
                                             const XClientMessageEvent& message)
{
    const auto word = [&message](int i) { return static_cast<unsigned long>(message.data.l[i]); };
    if (message.message_type == wmProtocols_ && word(0) == wmDeleteWindow_) {
        queue(window, LayerEvent{LayerEvent::Kind::CloseRequest});
        return;
    }
    if (!window.options().acceptsFiles)
        return;
    if (message.message_type == xdndEnter_) {
        window.dndSource_ = word(0);
        window.dndAccepted_ = false;
        std::vector<Atom> types;
        if (word(1) & 1) {
            // More than three types: the list stands on the source window.
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, window.dndSource_, xdndTypeList_, 0, 1024, False,
                                   XA_ATOM, &type, &format, &count, &after, &data) == Success &&
                data) {
                const auto* atoms = reinterpret_cast<const Atom*>(data);
                types.assign(atoms, atoms + count);
            }
            if (data)
                XFree(data);
        } else {
            for (int i = 2; i <= 4; ++i)
                if (word(i))
                    types.push_back(word(i));
        }
        window.dndAccepted_ = std::find(types.begin(), types.end(), uriList_) != types.end();
        return;
    }
    if (word(0) != window.dndSource_ || !window.dndSource_)
        return;
    if (message.message_type == xdndPosition_) {
        window.dndRootX_ = static_cast<int>((word(2) >> 16) & 0xFFFF);
        window.dndRootY_ = static_cast<int>(word(2) & 0xFFFF);
        XClientMessageEvent status{};
        status.type = ClientMessage;
        status.display = display_;
        status.window = window.dndSource_;
        status.message_type = xdndStatus_;
        status.format = 32;
        status.data.l[0] = static_cast<long>(window.outer_);
        status.data.l[1] = window.dndAccepted_ ? 1 : 0;
        status.data.l[4] = window.dndAccepted_ ? static_cast<long>(xdndActionCopy_) : 0;
        XSendEvent(display_, window.dndSource_, False, NoEventMask,
                   reinterpret_cast<XEvent*>(&status));
        XFlush(display_);
    } else if (message.message_type == xdndDrop_) {
        if (!window.dndAccepted_) {
            finishDrop(window, false);
            return;
        }
        XConvertSelection(display_, xdndSelection_, uriList_, dropProperty_, window.outer_,
                          static_cast<Time>(word(2)));
        XFlush(display_);
    } else if (message.message_type == xdndLeave_) {
        window.dndSource_ = 0;
        window.dndAccepted_ = false;
    }
}

void X11WindowSystem::receiveDrop(X11HostWindow& window, const XSelectionEvent& selection)
{
    if (!window.dndSource_ || selection.property != dropProperty_)
        return;
    std::string list;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window.outer_, dropProperty_, 0, 1 << 20, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data && format == 8)
        list.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    LayerEvent dropped{LayerEvent::Kind::FilesDropped};
    dropped.files = x11::filePathsFromUriList(list);
    ::Window child = 0;
    XTranslateCoordinates(display_, DefaultRootWindow(display_), window.client_, window.dndRootX_,
                          window.dndRootY_, &dropped.x, &dropped.y, &child);
    finishDrop(window, !dropped.files.empty());
    if (!dropped.files.empty())
        queue(window, dropped);
}

void X11WindowSystem::finishDrop(X11HostWindow& window, bool accepted)
{
    XClientMessageEvent finished{};
    finished.type = ClientMessage;
    finished.display = display_;
    finished.window = window.dndSource_;
    finished.message_type = xdndFinished_;
    finished.format = 32;
    finished.data.l[0] = static_cast<long>(window.outer_);
    finished.data.l[1] = accepted ? 1 : 0;
    finished.data.l[2] = accepted ? static_cast<long>(xdndActionCopy_) : 0;
    XSendEvent(display_, window.dndSource_, False, NoEventMask,
               reinterpret_cast<XEvent*>(&finished));
    XFlush(display_);
    window.dndSource_ = 0;
    window.dndAccepted_ = false;
}

} // namespace platform::ui
