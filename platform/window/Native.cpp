#include "platform/window/Native.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/window/HeadlessWindow.h"
#include "platform/window/X11Window.h"

namespace platform::window {

namespace {

std::atomic<Backend> chosenBackend{Backend::Default};
std::atomic<Clock> chosenClock{nullptr};
std::atomic<std::uint32_t> chosenFirstFill{0};

std::int64_t steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool headlessChosen()
{
    switch (chosenBackend.load()) {
    case Backend::Headless:
        return true;
    case Backend::X11:
        return false;
    case Backend::Default:
        break;
    }
    const char* env = std::getenv("RIG_WINDOW_BACKEND");
    return env && std::strcmp(env, "headless") == 0;
}

} // namespace

std::unique_ptr<Native> createNative(const unsigned long* parent, const Rect& rect,
                                     const char* title, const std::uint32_t* pixels)
{
    if (headlessChosen())
        return std::make_unique<HeadlessWindow>(parent, rect, pixels);
    return X11Window::create(parent, rect, title, pixels);
}

void setBackend(Backend backend)
{
    chosenBackend.store(backend);
}

void setClock(Clock clock)
{
    chosenClock.store(clock);
}

void setFirstFill(std::uint32_t colour)
{
    chosenFirstFill.store(colour);
}

std::uint32_t firstFill()
{
    return chosenFirstFill.load();
}

std::int64_t now()
{
    const Clock clock = chosenClock.load();
    return clock ? clock() : steadyMs();
}

} // namespace platform::window
