#include "platform/window/X11Errors.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace platform::window::x11errors {

namespace {

struct Connection {
    Display* display;
    unsigned long errors;
};

std::mutex mutex;
std::vector<Connection> connections;
XErrorHandler previous = nullptr;

int handler(Display* display, XErrorEvent* error)
{
    XErrorHandler passOn = nullptr;
    {
        std::lock_guard<std::mutex> guard(mutex);
        for (Connection& c : connections)
            if (c.display == display) {
                ++c.errors;
                return 0;
            }
        passOn = previous;
    }
    return passOn ? passOn(display, error) : 0;
}

} // namespace

void attach(Display* display)
{
    std::lock_guard<std::mutex> guard(mutex);
    if (connections.empty())
        previous = XSetErrorHandler(handler);
    connections.push_back({display, 0});
}

void detach(Display* display)
{
    std::lock_guard<std::mutex> guard(mutex);
    connections.erase(
        std::remove_if(connections.begin(), connections.end(),
                       [display](const Connection& c) { return c.display == display; }),
        connections.end());
    if (!connections.empty())
        return;
    // Restore the previous handler only when ours is still installed.
    const XErrorHandler current = XSetErrorHandler(previous);
    if (current != handler)
        XSetErrorHandler(current);
    previous = nullptr;
}

unsigned long count(Display* display)
{
    std::lock_guard<std::mutex> guard(mutex);
    for (const Connection& c : connections)
        if (c.display == display)
            return c.errors;
    return 0;
}

} // namespace platform::window::x11errors
