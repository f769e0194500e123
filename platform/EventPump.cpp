#include "platform/EventPump.h"

#include <algorithm>

namespace platform {

bool HeadlessEventPump::poll(PumpEvent& event)
{
    if (pending.empty())
        return false;
    event = pending.front();
    pending.pop_front();
    return true;
}

void HeadlessEventPump::wait(double)
{
    // Nothing can arrive while the loop waits: injected events come from the
    // loop's own thread, so waiting returns at once.
    ++waits;
}

void HeadlessEventPump::postQuit()
{
    ++quitsPosted;
    PumpEvent quit;
    quit.type = PumpEventType::Quit;
    pending.push_back(quit);
}

void HeadlessEventPump::enableWindow(void* window, bool enable)
{
    auto found = std::find(disabledWindows.begin(), disabledWindows.end(), window);
    if (enable && found != disabledWindows.end())
        disabledWindows.erase(found);
    else if (!enable && found == disabledWindows.end())
        disabledWindows.push_back(window);
}

void HeadlessEventPump::injectKey(unsigned keycode, std::uint32_t keysym, std::uint32_t character,
                                  unsigned modifiers)
{
    PumpEvent press;
    press.type = PumpEventType::KeyPress;
    press.keycode = keycode;
    press.keysym = keysym;
    press.character = character;
    press.modifiers = modifiers;
    pending.push_back(press);
    PumpEvent release = press;
    release.type = PumpEventType::KeyRelease;
    pending.push_back(release);
}

} // namespace platform
