#include <gtest/gtest.h>

#include "tests/host/windows/HostApp.h"

#include "platform/window/Png.h"
#include "platform/x11/X11WindowSystem.h"
#include "tests/platform/x11/SharedXvfb.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

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
        // The editor opens in the window's client area.
        EXPECT_EQ(journalCount("open " + std::to_string(native.client())), 1);
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

// Whether a top-level window of that title is mapped on the display.
bool hasMappedWindow(Display* display, Window parent, const std::string& title)
{
    Window root = 0, parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
        return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes;
        if (XFetchName(display, children[i], &name) && name) {
            found = title == name && XGetWindowAttributes(display, children[i], &attributes) &&
                    attributes.map_state == IsViewable;
            XFree(name);
        }
        if (!found)
            found = hasMappedWindow(display, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

// The program itself on the display, as a child process over the recording
// stand-in: its main window shows under the product's title and the process
// is still running (it does not stop for want of a window).
TEST_F(HostWindowOnX11, TheProgramOpensItsMainWindow)
{
    if (!test::x11::sharedXvfb().running())
        GTEST_SKIP() << "Xvfb is not available";
    installStub();
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(BORVANQOM_PATH, "BorvanQom", static_cast<char*>(nullptr));
        _exit(127);
    }
    bool shown = false;
    for (int i = 0; i < 1000 && !shown; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        shown = hasMappedWindow(display, DefaultRootWindow(display), "BorvanQom");
    }
    int status = 0;
    const bool stillRunning = waitpid(child, &status, WNOHANG) == 0;
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    XCloseDisplay(display);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(stillRunning);
}

} // namespace
