#include "platform/x11/X11MessageBox.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/MessageBox.h"
#include "platform/x11/X11ErrorReport.h"

namespace platform::ui::x11 {

namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 10;
constexpr std::size_t kWrapColumns = 64;

// Lines of at most kWrapColumns characters, broken at spaces where possible.
std::vector<std::string> wrapped(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string paragraph = text.substr(start, end - start);
        while (paragraph.size() > kWrapColumns) {
            std::size_t cut = paragraph.rfind(' ', kWrapColumns);
            if (cut == std::string::npos || cut == 0)
                cut = kWrapColumns;
            lines.push_back(paragraph.substr(0, cut));
            paragraph.erase(0, paragraph[cut] == ' ' ? cut + 1 : cut);
        }
        lines.push_back(paragraph);
        start = end + 1;
    }
    return lines;
}

} // namespace

MessageBoxLayout messageBoxLayout(const std::string& text, int kind, int charWidth, int lineHeight)
{
    MessageBoxLayout layout;
    layout.lines = wrapped(text);
    switch (kind) {
    case 1:
        layout.buttons = {{"OK", true, {}}, {"Cancel", false, {}}};
        break;
    case 2:
        layout.buttons = {{"Yes", true, {}}, {"No", false, {}}};
        break;
    default:
        layout.buttons = {{"OK", true, {}}};
        break;
    }
    std::size_t longest = 0;
    for (const std::string& line : layout.lines)
        longest = std::max(longest, line.size());
    const int buttons = static_cast<int>(layout.buttons.size());
    const int buttonsWidth = buttons * kButtonWidth + (buttons - 1) * kButtonGap;
    layout.width = std::max(
        {260, static_cast<int>(longest) * charWidth + 2 * kMargin, buttonsWidth + 2 * kMargin});
    const int textHeight = static_cast<int>(layout.lines.size()) * lineHeight;
    layout.height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;
    // Buttons centred in a row at the bottom.
    int x = (layout.width - buttonsWidth) / 2;
    const int y = layout.height - kMargin - kButtonHeight;
    for (MessageBoxButton& button : layout.buttons) {
        button.area = {x, y, kButtonWidth, kButtonHeight};
        x += kButtonWidth + kButtonGap;
    }
    return layout;
}

namespace {

class Box {
public:
    Box(Display* display, const std::string& text, const std::string& caption, int kind)
        : display_(display), kind_(kind)
    {
        font_ = XLoadQueryFont(display, "fixed");
        const int charWidth = font_ ? font_->max_bounds.width : 6;
        lineHeight_ = font_ ? font_->ascent + font_->descent : 13;
        layout_ = messageBoxLayout(text, kind, charWidth, lineHeight_);
        const int screen = DefaultScreen(display);
        const int x = (DisplayWidth(display, screen) - layout_.width) / 2;
        const int y = (DisplayHeight(display, screen) - layout_.height) / 3;
        XSetWindowAttributes attributes{};
        attributes.background_pixel = WhitePixel(display, screen);
        attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
        window_ = XCreateWindow(
            display, DefaultRootWindow(display), x, y, static_cast<unsigned>(layout_.width),
            static_cast<unsigned>(layout_.height), 0, CopyFromParent, InputOutput, CopyFromParent,
            CWBackPixel | CWEventMask, &attributes);
        XStoreName(display, window_, caption.c_str());
        XClassHint classHint{};
        char name[] = "epiMessageBox";
        classHint.res_name = name;
        classHint.res_class = name;
        XSetClassHint(display, window_, &classHint);
        deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window_, &deleteWindow_, 1);
        // No owner; above every other window, and not resizable.
        const Atom above = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);
        XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&above), 1);
        XSizeHints hints{};
        hints.flags = PPosition | PMinSize | PMaxSize;
        hints.x = x;
        hints.y = y;
        hints.min_width = hints.max_width = layout_.width;
        hints.min_height = hints.max_height = layout_.height;
        XSetWMNormalHints(display, window_, &hints);
        gc_ = XCreateGC(display, window_, 0, nullptr);
        if (font_)
            XSetFont(display, gc_, font_->fid);
        XMapRaised(display, window_);
    }

    ~Box()
    {
        XFreeGC(display_, gc_);
        if (font_)
            XFreeFont(display_, font_);
        XDestroyWindow(display_, window_);
        XSync(display_, False);
    }

    bool run()
    {
        for (;;) {
            XEvent event;
            XNextEvent(display_, &event);
            switch (event.type) {
            case MapNotify:
                XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
                break;
            case Expose:
                if (event.xexpose.count == 0)
                    paint();
                break;
            case KeyPress: {
                KeySym keysym = NoSymbol;
                char text[8];
                XLookupString(&event.xkey, text, sizeof text, &keysym, nullptr);
                if (keysym == XK_Return || keysym == XK_KP_Enter)
                    return true;
                if (keysym == XK_Escape)
                    return dismissed();
                break;
            }
            case ButtonPress:
                for (const MessageBoxButton& button : layout_.buttons) {
                    const Rect& a = button.area;
                    if (event.xbutton.x >= a.x && event.xbutton.x < a.x + a.width &&
                        event.xbutton.y >= a.y && event.xbutton.y < a.y + a.height)
                        return button.answer;
                }
                break;
            case ClientMessage:
                if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_)
                    return dismissed();
                break;
            default:
                break;
            }
        }
    }

private:
    // Escape and the close button: the box's only answer for OK alone, else
    // the cautious one.
    bool dismissed() const { return kind_ != 1 && kind_ != 2; }

    void paint()
    {
        const int screen = DefaultScreen(display_);
        XSetForeground(display_, gc_, BlackPixel(display_, screen));
        const int ascent = font_ ? font_->ascent : 10;
        int y = kMargin + ascent;
        for (const std::string& line : layout_.lines) {
            XDrawString(display_, window_, gc_, kMargin, y, line.c_str(),
                        static_cast<int>(line.size()));
            y += lineHeight_;
        }
        for (const MessageBoxButton& button : layout_.buttons) {
            const Rect& a = button.area;
            XDrawRectangle(display_, window_, gc_, a.x, a.y, static_cast<unsigned>(a.width - 1),
                           static_cast<unsigned>(a.height - 1));
            const int textWidth = font_ ? XTextWidth(font_, button.label.c_str(),
                                                     static_cast<int>(button.label.size()))
                                        : static_cast<int>(button.label.size()) * 6;
            XDrawString(display_, window_, gc_, a.x + (a.width - textWidth) / 2,
                        a.y + (a.height + ascent) / 2 - 1, button.label.c_str(),
                        static_cast<int>(button.label.size()));
        }
        XFlush(display_);
    }

    Display* display_;
    int kind_;
    XFontStruct* font_ = nullptr;
    int lineHeight_ = 13;
    MessageBoxLayout layout_;
    ::Window window_ = 0;
    GC gc_ = nullptr;
    Atom deleteWindow_ = 0;
};

} // namespace

std::optional<bool> runMessageBox(const std::string& text, const std::string& caption, int kind)
{
    installErrorReport();
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    bool answer = false;
    {
        Box box(display, text, caption, kind);
        answer = box.run();
    }
    forgetDisplay(display);
    XCloseDisplay(display);
    return answer;
}

void installMessageBox()
{
    auto fallback = std::make_shared<MessageHandler>();
    *fallback = setMessageHandler(
        [fallback](const std::string& text, const std::string& caption, int kind) {
            const char* choice = std::getenv("ZQ_MESSAGE_BOX");
            if (!choice || std::strcmp(choice, "stderr") != 0) {
                if (const std::optional<bool> answer = runMessageBox(text, caption, kind))
                    return *answer;
            }
            return (*fallback)(text, caption, kind);
        });
}

} // namespace platform::ui::x11
