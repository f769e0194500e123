#include "platform/window/KeyMapping.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace platform::window {

bool translateKey(unsigned long keysym, const char* text, std::size_t textLength, Key& key,
                  char& character)
{
    character = 0;
    switch (keysym) {
    case XK_Left:
    case XK_KP_Left:
        key = Key::Left;
        return true;
    case XK_Right:
    case XK_KP_Right:
        key = Key::Right;
        return true;
    case XK_Up:
    case XK_KP_Up:
        key = Key::Up;
        return true;
    case XK_Down:
    case XK_KP_Down:
        key = Key::Down;
        return true;
    case XK_Insert:
    case XK_KP_Insert:
        key = Key::Insert;
        return true;
    case XK_Delete:
    case XK_KP_Delete:
        key = Key::Delete;
        return true;
    case XK_Home:
    case XK_KP_Home:
        key = Key::Home;
        return true;
    case XK_End:
    case XK_KP_End:
        key = Key::End;
        return true;
    case XK_KP_Enter:
        key = Key::Return;
        return true;
    default:
        break;
    }
    if (textLength != 1)
        return false;
    const auto c = static_cast<unsigned char>(text[0]);
    switch (c) {
    case 8:
        key = Key::Backspace;
        return true;
    case 9:
        key = Key::Tab;
        return true;
    case 10:
        key = Key::LineFeed;
        return true;
    case 13:
        key = Key::Return;
        return true;
    case 27:
        key = Key::Escape;
        return true;
    default:
        break;
    }
    if (c < 32 || c > 126)
        return false;
    key = Key::Character;
    character = static_cast<char>(c);
    return true;
}

int translateModifiers(unsigned int state)
{
    int modifiers = 0;
    if (state & Button1Mask)
        modifiers |= ButtonLeft;
    if (state & Button2Mask)
        modifiers |= ButtonMiddle;
    if (state & Button3Mask)
        modifiers |= ButtonRight;
    if (state & ControlMask)
        modifiers |= ModifierControl;
    if (state & ShiftMask)
        modifiers |= ModifierShift;
    return modifiers;
}

int translateButton(unsigned int button)
{
    switch (button) {
    case Button1:
        return ButtonLeft;
    case Button2:
        return ButtonMiddle;
    case Button3:
        return ButtonRight;
    default:
        return 0;
    }
}

} // namespace platform::window
