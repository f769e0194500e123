// The standalone host program.

#include "host/app/vphoApplication.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/x11/X11MessageBox.h"
#include "platform/x11/X11WindowSystem.h"

#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    // Messages in a box of their own; on standard error without a display.
    platform::ui::x11::installMessageBox();
    // The windows on the display when there is one, else on the headless
    // window system, where the host runs without showing anything.
    std::unique_ptr<platform::ui::WindowSystem> windows;
    bool native = false;
    if (std::getenv("DISPLAY")) {
        windows = platform::ui::X11WindowSystem::open();
        native = windows != nullptr;
    }
    if (!windows)
        windows = std::make_unique<platform::ui::HeadlessWindowSystem>();
    return hostWinMain(argc, argv, windows.get(), native);
}
