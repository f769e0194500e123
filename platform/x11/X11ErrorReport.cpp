#include "platform/x11/X11ErrorReport.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace platform::ui::x11 {

namespace {

std::mutex mutex;
std::map<Display*, unsigned long>& counts()
{
    static std::map<Display*, unsigned long> perDisplay;
    return perDisplay;
}

int report(Display* display, XErrorEvent* error)
{
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code,
                 error->minor_code, error->resourceid);
    std::lock_guard<std::mutex> lock(mutex);
    ++counts()[display];
    return 0;
}

} // namespace

void installErrorReport()
{
    XSetErrorHandler(report);
}

unsigned long errorCount(Display* display)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto found = counts().find(display);
    return found == counts().end() ? 0 : found->second;
}

void forgetDisplay(Display* display)
{
    std::lock_guard<std::mutex> lock(mutex);
    counts().erase(display);
}

} // namespace platform::ui::x11
