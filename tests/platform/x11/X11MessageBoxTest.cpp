#include <cstdlib>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "platform/x11/X11MessageBox.h"
#include "tests/platform/x11/SharedXvfb.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace x11 = platform::ui::x11;

namespace {

TEST(X11MessageBoxTest, EachKindHasItsButtonsInARowUnderTheText)
{
    struct Case {
        int kind;
        std::vector<std::string> labels;
        std::vector<bool> answers;
    };
    const Case cases[] = {{0, {"OK"}, {true}},
                          {1, {"OK", "Cancel"}, {true, false}},
                          {2, {"Yes", "No"}, {true, false}}};
    for (const Case& c : cases) {
        const x11::MessageBoxLayout layout =
            x11::messageBoxLayout("First line\nA second, much longer line of the message", c.kind);
        ASSERT_EQ(layout.buttons.size(), c.labels.size()) << c.kind;
        for (std::size_t i = 0; i < c.labels.size(); ++i) {
            EXPECT_EQ(layout.buttons[i].label, c.labels[i]);
            EXPECT_EQ(layout.buttons[i].answer, c.answers[i]);
            const auto& area = layout.buttons[i].area;
            EXPECT_GT(area.y, 2 * 13);
            EXPECT_LE(area.x + area.width, layout.width);
            EXPECT_LE(area.y + area.height, layout.height);
        }
        EXPECT_EQ(layout.lines.size(), 2u);
    }
    // Long text wraps at a space.
    const auto wrapped =
        x11::messageBoxLayout(std::string(60, 'a') + " " + std::string(20, 'b'), 0);
    EXPECT_EQ(wrapped.lines,
              (std::vector<std::string>{std::string(60, 'a'), std::string(20, 'b')}));
}

class X11MessageBoxScreenTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!test::x11::sharedXvfb().running())
            GTEST_SKIP() << "Xvfb is not available";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        XSync(display, False);
    }
    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }

    // The box's window, once it is mapped (the caption is its title).
    Window waitForBox(const std::string& caption)
    {
        for (;;) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            char* name = nullptr;
            const bool match =
                XFetchName(display, event.xmap.window, &name) && name && caption == name;
            if (name)
                XFree(name);
            if (match)
                return event.xmap.window;
        }
    }
    void sendKey(Window box, KeySym keysym)
    {
        XEvent key{};
        key.xkey.type = KeyPress;
        key.xkey.window = box;
        key.xkey.root = DefaultRootWindow(display);
        key.xkey.keycode = XKeysymToKeycode(display, keysym);
        key.xkey.same_screen = True;
        XSendEvent(display, box, False, KeyPressMask, &key);
        XFlush(display);
    }
    void sendClick(Window box, const platform::ui::Rect& area)
    {
        XEvent press{};
        press.xbutton.type = ButtonPress;
        press.xbutton.window = box;
        press.xbutton.root = DefaultRootWindow(display);
        press.xbutton.button = 1;
        press.xbutton.x = area.x + area.width / 2;
        press.xbutton.y = area.y + area.height / 2;
        press.xbutton.same_screen = True;
        XSendEvent(display, box, False, ButtonPressMask, &press);
        XFlush(display);
    }

    Display* display = nullptr;
};

TEST_F(X11MessageBoxScreenTest, ReturnAndEscapeGiveTheKindsAnswers)
{
    struct Case {
        int kind;
        KeySym key;
        bool answer;
    };
    const Case cases[] = {{0, XK_Return, true},  {0, XK_Escape, true}, {1, XK_Return, true},
                          {1, XK_Escape, false}, {2, XK_Return, true}, {2, XK_Escape, false}};
    int n = 0;
    for (const Case& c : cases) {
        const std::string caption = "Registry error " + std::to_string(n++);
        auto answer = std::async(std::launch::async, [&] {
            return x11::runMessageBox("Please ensure this product has been installed properly",
                                      caption, c.kind);
        });
        sendKey(waitForBox(caption), c.key);
        const std::optional<bool> got = answer.get();
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(*got, c.answer) << c.kind << " " << c.key;
    }
}

TEST_F(X11MessageBoxScreenTest, EachButtonOfTheBoxAnswersWhenClicked)
{
    int n = 0;
    for (int kind : {0, 1, 2}) {
        const auto layout = x11::messageBoxLayout("Question?", kind, 6, 13);
        for (const auto& button : layout.buttons) {
            const std::string caption = "Question " + std::to_string(n++);
            auto answer = std::async(
                std::launch::async, [&] { return x11::runMessageBox("Question?", caption, kind); });
            const Window box = waitForBox(caption);
            // The box lays itself out for its font: find the button there.
            XFontStruct* font = XLoadQueryFont(display, "fixed");
            const auto shown =
                font ? x11::messageBoxLayout("Question?", kind, font->max_bounds.width,
                                             font->ascent + font->descent)
                     : layout;
            if (font)
                XFreeFont(display, font);
            const std::size_t index = static_cast<std::size_t>(&button - layout.buttons.data());
            sendClick(box, shown.buttons[index].area);
            EXPECT_EQ(answer.get(), button.answer) << kind << " " << button.label;
        }
    }
}

TEST(X11MessageBoxFallbackTest, WithoutADisplayOrWhenAskedTheStandardErrorSinkAnswers)
{
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    x11::installMessageBox();
    struct Case {
        bool withDisplay;
        int kind;
        bool answer;
    };
    const bool haveDisplay = test::x11::sharedXvfb().running();
    const Case cases[] = {{false, 0, true}, {false, 1, false}, {false, 2, false},
                          {true, 0, true},  {true, 1, false},  {true, 2, false}};
    for (const Case& c : cases) {
        if (c.withDisplay) {
            if (!haveDisplay)
                continue;
            setenv("DISPLAY", saved.c_str(), 1);
            setenv("ZQ_MESSAGE_BOX", "stderr", 1);
        } else {
            unsetenv("DISPLAY");
            unsetenv("ZQ_MESSAGE_BOX");
            EXPECT_FALSE(x11::runMessageBox("text", "caption", c.kind).has_value());
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(platform::showMessageBox("Text", "Caption", c.kind), c.answer) << c.kind;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Caption: Text"), std::string::npos);
    }
    unsetenv("ZQ_MESSAGE_BOX");
    if (display)
        setenv("DISPLAY", saved.c_str(), 1);
    platform::setMessageHandler({});
}

} // namespace
