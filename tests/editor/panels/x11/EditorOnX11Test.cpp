#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "editor/graphics/Window.h"
#include "editor/panels/LowerPanel.h"
#include "editor/panels/Main.h"
#include "editor/widgets/Root.h"
#include "platform/window/HeadlessWindow.h"
#include "platform/window/Native.h"
#include "platform/window/Png.h"
#include "plugin/rig/Rig.h"
#include "tests/editor/x11/XvfbServer.h"

// After gtest and the editor: Xlib defines names such as None and Bool.
#include "tests/editor/x11/XTestDriver.h"

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

using Zq::BorvanRAZ::GUI::Main;
namespace pw = platform::window;

constexpr int kX = 40;
constexpr int kY = 30;

std::int64_t frozenClock()
{
    return 1000;
}

// One editor over its own rig, drawn from the built skin.
struct Editor {
    Editor()
    {
        provider.addLocation(SKIN_DIR);
        main = std::make_unique<Main>(provider, rig,
                                      Main::Services{[] { return 100.0; }, "Jun 24 2009"});
    }
    unsigned long windowId() const
    {
        return *static_cast<unsigned long*>(main->getWindow()->getWindowHandle());
    }

    Zq::Application::Res::PlugInResourceProvider provider;
    Zq::BorvanRAZ::Document::Rig rig;
    std::unique_ptr<Main> main;
};

// The editor in a child window on a private Xvfb shows what its headless twin
// shows, and takes the pointer there.
class EditorOnX11Test : public testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<test::x11::XvfbServer>();
        if (!server->running())
            GTEST_SKIP() << "Xvfb is not available";
        pw::setClock(&frozenClock);
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        const int screen = DefaultScreen(display);
        parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 940, 580, 0,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override
    {
        onScreen.reset();
        twin.reset();
        if (display)
            XCloseDisplay(display);
        pw::setClock(nullptr);
        pw::setBackend(pw::Backend::Default);
    }
    // Pumps the editor until `done` holds, bounded: the server answers late.
    bool pumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 3000; ++i) {
            XSync(display, False);
            onScreen->main->idle();
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    std::vector<std::uint32_t> grab()
    {
        XSync(display, False);
        XImage* image = XGetImage(display, onScreen->windowId(), 0, 0, Main::kWidth, Main::kHeight,
                                  AllPlanes, ZPixmap);
        std::vector<std::uint32_t> shown(static_cast<std::size_t>(Main::kWidth) * Main::kHeight);
        if (!image)
            return {};
        for (int y = 0; y < Main::kHeight; ++y)
            for (int x = 0; x < Main::kWidth; ++x)
                shown[static_cast<std::size_t>(y) * Main::kWidth + x] =
                    static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
        XDestroyImage(image);
        return shown;
    }

    std::unique_ptr<test::x11::XvfbServer> server;
    Display* display = nullptr;
    ::Window parent = 0;
    std::unique_ptr<Editor> twin;
    std::unique_ptr<Editor> onScreen;
};

TEST_F(EditorOnX11Test, showsWhatItsHeadlessTwinShowsAndTakesAClickOnAnArrow)
{
    pw::setBackend(pw::Backend::Headless);
    twin = std::make_unique<Editor>();
    unsigned long fake = 0x3c00007;
    twin->main->open(&fake);
    twin->main->idle();
    const std::vector<std::uint32_t> expected =
        pw::HeadlessWindow::find(twin->windowId())->screen();

    pw::setBackend(pw::Backend::X11);
    onScreen = std::make_unique<Editor>();
    onScreen->main->setPosition(kX, kY);
    onScreen->main->open(&parent);
    ASSERT_NE(onScreen->windowId(), 0u);
    std::vector<std::uint32_t> shown;
    int wrong = -1;
    pumpUntil([&] {
        shown = grab();
        wrong = 0;
        for (std::size_t i = 0; i < shown.size(); ++i)
            wrong += shown[i] != (expected[i] & 0xFFFFFF);
        return wrong == 0;
    });
    EXPECT_EQ(wrong, 0);
    const std::string path = test::x11::screenshotPath("editor-x11.png");
    EXPECT_TRUE(pw::writePng(path, shown.data(), Main::kWidth, Main::kHeight)) << path;

    // The cabinet's arrow, clicked with the pointer of the server.
    Zq::Application::GUI::Widget* arrow = nullptr;
    onScreen->main->getLowerPanel()->find("ToCabRightButton", arrow);
    const auto at = arrow->absolutePosition();
    const int x = kX + at.x + 20;
    const int y = kY + at.y + 10;
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    EXPECT_TRUE(pumpUntil([&] { return onScreen->main->getModule() == 4; }));
}

} // namespace
