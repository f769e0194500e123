#include <gtest/gtest.h>

#include "tests/host/windows/HostApp.h"

#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/platform/x11/SharedXvfb.h"

#include <cstdint>
#include <vector>

// After gtest: Xlib defines names such as None and Bool that gtest uses.
#include "tests/platform/x11/X11Probe.h"

namespace pui = platform::ui;

namespace {

class HostWindowOnX11 : public test::HostAppTest {};

// The main window as the program opens it over the recording stand-in: the
// same pixels on the display as on the headless back end, its editor given
// the window's X11 id.
TEST_F(HostWindowOnX11, TheMainWindowShowsAsItDoesHeadless)
{
    installStub();
    const std::string dir = testing::TempDir();
    std::vector<std::uint32_t> expected;
    int width = 0, height = 0;
    {
        test::HostApp app;
        app.start();
        app.settle();
        vphoHostWindow* host = app.host();
        ASSERT_NE(host, nullptr);
        width = host->getFrame().getWidth();
        height = host->getFrame().getHeight();
        auto& headless = static_cast<pui::HeadlessWindow&>(*host->hostWindow());
        expected = headless.screen();
        ASSERT_EQ(expected.size(), std::size_t(width) * std::size_t(height));
        EXPECT_TRUE(
            platform::window::writePng(dir + "host-headless.png", expected.data(), width, height));
    }

    if (!test::x11::sharedXvfb().running())
        GTEST_SKIP() << "Xvfb is not available";
    auto system = pui::X11WindowSystem::open();
    ASSERT_TRUE(system);
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    {
        test::HostApp app(system.get(), true);
        app.start();
        vphoHostWindow* host = app.host();
        ASSERT_NE(host, nullptr);
        auto& native = static_cast<pui::X11HostWindow&>(*host->hostWindow());
        EXPECT_EQ(host->getFrame().getWidth(), width);
        EXPECT_EQ(host->getFrame().getHeight(), height);
        std::vector<std::uint32_t> shown;
        const bool same = test::x11::turnUntil(
            {other, system->display()}, [&] { app.settle(4); },
            [&] {
                shown = test::x11::readBack(other, native.client(), width, height);
                return shown.size() == expected.size() &&
                       std::equal(shown.begin(), shown.end(), expected.begin(),
                                  [](std::uint32_t a, std::uint32_t b) {
                                      return (a & 0xFFFFFFu) == (b & 0xFFFFFFu);
                                  });
            });
        if (!shown.empty()) {
            EXPECT_TRUE(
                platform::window::writePng(dir + "host-x11.png", shown.data(), width, height));
        }
        EXPECT_TRUE(same);
        host->closeRequested();
    }
    XCloseDisplay(other);
}

} // namespace
