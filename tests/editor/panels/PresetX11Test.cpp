#include "tests/editor/panels/PresetFixture.h"

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "editor/panels/EditorMessageBox.h"
#include "editor/widgets/PushButton.h"
#include "platform/x11/X11MessageBox.h"
#include "tests/editor/x11/XvfbServer.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace test::presets {
namespace {

namespace pw = platform::window;
namespace x11 = platform::ui::x11;

// The preset panel in an editor window on a private Xvfb, its questions in
// the editor's X11 message box, answered through XTest from a second thread
// while the box's own loop holds the editor's thread.
class PresetX11Test : public PresetFixture {
protected:
    void SetUp() override
    {
        PresetFixture::SetUp();
        server = std::make_unique<test::x11::XvfbServer>();
        if (!server->running())
            GTEST_SKIP() << "Xvfb is not available";
        pw::setBackend(pw::Backend::X11);
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        const int screen = DefaultScreen(display);
        parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 1000, 700, 0,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XMapWindow(display, parent);
        XSync(display, False);
        root->callbacks().paint.connect(
            [this](GUI::Widget*, Graphics::Painter*, const GUI::Widget::Rect&) { ++paints; });
    }
    void TearDown() override
    {
        panel.reset();
        window.reset();
        if (display)
            XCloseDisplay(display);
        PresetFixture::TearDown();
    }
    void open()
    {
        panel = std::make_unique<Preset>(context, area);
        unsigned long id = parent;
        // Under the place where the box comes up, so closing it exposes the
        // editor.
        window = std::make_unique<Graphics::Window>(root->getManager(), &id,
                                                    GUI::Widget::Rect{300, 200, kWidth, kHeight},
                                                    true, true, nullptr);
        pumpUntil([this] { return paints > 0; });
    }
    bool pumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 2000; ++i) {
            XSync(display, False);
            window->pump();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    // On a connection of its own: waits for the box to be mapped, then
    // answers it and reports where it was.
    static void answerBox(const std::string& text, bool clickYes, std::promise<void>& watching)
    {
        Display* own = XOpenDisplay(nullptr);
        XSelectInput(own, DefaultRootWindow(own), SubstructureNotifyMask);
        XSync(own, False);
        watching.set_value();
        ::Window box = 0;
        while (!box) {
            XEvent event;
            XNextEvent(own, &event);
            if (event.type != MapNotify)
                continue;
            XClassHint hint{};
            if (XGetClassHint(own, event.xmap.window, &hint)) {
                if (std::string(hint.res_name) == "epiMessageBox")
                    box = event.xmap.window;
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (clickYes) {
            XFontStruct* font = XLoadQueryFont(own, "fixed");
            const auto layout = font ? x11::messageBoxLayout(text, 2, font->max_bounds.width,
                                                             font->ascent + font->descent)
                                     : x11::messageBoxLayout(text, 2);
            if (font)
                XFreeFont(own, font);
            const auto& yes = layout.buttons[0].area;
            int x = 0, y = 0;
            ::Window child = 0;
            XTranslateCoordinates(own, box, DefaultRootWindow(own), yes.x + yes.width / 2,
                                  yes.y + yes.height / 2, &x, &y, &child);
            XTestFakeMotionEvent(own, DefaultScreen(own), x, y, CurrentTime);
            XTestFakeButtonEvent(own, 1, True, CurrentTime);
            XTestFakeButtonEvent(own, 1, False, CurrentTime);
        } else {
            XEvent key{};
            key.xkey.type = KeyPress;
            key.xkey.window = box;
            key.xkey.root = DefaultRootWindow(own);
            key.xkey.keycode = XKeysymToKeycode(own, XK_Escape);
            key.xkey.same_screen = True;
            XSendEvent(own, box, False, KeyPressMask, &key);
        }
        XSync(own, False);
        XCloseDisplay(own);
    }

    std::unique_ptr<test::x11::XvfbServer> server;
    Display* display = nullptr;
    ::Window parent = 0;
    int paints = 0;
};

TEST_F(PresetX11Test, TheReplaceQuestionIsATopLevelBoxThatYesAndEscapeAnswer)
{
    writePreset("Slap.qomp");
    const Zq::BorvanRAZ::GUI::EditorMessageBox boxes;
    open();
    ASSERT_TRUE(panel->getNavigator(Preset::kDocument).loadPath(path("Slap.qomp")));
    const std::string before = readPreset("Slap.qomp");
    rig.getOutput().master.setValue(0.5f, true);
    Widgets::PushButton* save = widget<Widgets::PushButton>(*panel, "SaveButton");
    const std::string question = "Are you sure you want to replace \"Slap\"?";

    // Escape: No, the file stays.
    std::promise<void> watching;
    auto answering = std::async(std::launch::async, [&] { answerBox(question, false, watching); });
    watching.get_future().wait();
    save->clicked(save, {});
    answering.get();
    EXPECT_EQ(readPreset("Slap.qomp"), before);

    // A click on Yes: saved.
    std::promise<void> watchingAgain;
    answering = std::async(std::launch::async, [&] { answerBox(question, true, watchingAgain); });
    watchingAgain.get_future().wait();
    save->clicked(save, {});
    answering.get();
    EXPECT_NE(readPreset("Slap.qomp"), before);
    EXPECT_TRUE(messages.empty()) << "the X11 box answered, not the test's sink";

    // The box's place on the editor is painted again.
    const int seen = paints;
    EXPECT_TRUE(pumpUntil([&] { return paints > seen; }));
}

using EditorMessageBoxTest = PresetFixture;

TEST_F(EditorMessageBoxTest, TheLastEditorToCloseGivesTheSinkBack)
{
    {
        const Zq::BorvanRAZ::GUI::EditorMessageBox first;
        {
            const Zq::BorvanRAZ::GUI::EditorMessageBox second;
            EXPECT_EQ(Zq::BorvanRAZ::GUI::EditorMessageBox::count(), 2);
        }
        EXPECT_EQ(Zq::BorvanRAZ::GUI::EditorMessageBox::count(), 1);
    }
    EXPECT_EQ(Zq::BorvanRAZ::GUI::EditorMessageBox::count(), 0);
    platform::showMessageBox("text", "caption", 2);
    EXPECT_EQ(take(), "caption|text|2");

    // Without a display the sink that was there before answers.
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    ::setenv("DISPLAY", "/nonexistent/socket:0", 1);
    {
        const Zq::BorvanRAZ::GUI::EditorMessageBox box;
        answers = {false};
        EXPECT_FALSE(platform::showMessageBox("Replace?", "", 2));
    }
    display ? ::setenv("DISPLAY", saved.c_str(), 1) : ::unsetenv("DISPLAY");
    EXPECT_EQ(take(), "|Replace?|2");
}

} // namespace
} // namespace test::presets
