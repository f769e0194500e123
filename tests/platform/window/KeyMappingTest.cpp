#include <string>

#include <gtest/gtest.h>

#include "platform/window/KeyMapping.h"

// After gtest: X.h defines names such as None that gtest uses.
#include <X11/X.h>
#include <X11/keysym.h>

using namespace platform::window;

TEST(KeyMapping, KeyEventsToEditorKeysAsOneTable)
{
    struct Case {
        const char* name;
        unsigned long keysym;
        std::string text;
        bool sent;
        Key key;
        char character;
    };
    const Case cases[] = {
        {"Left", XK_Left, "", true, Key::Left, 0},
        {"Right", XK_Right, "", true, Key::Right, 0},
        {"Up", XK_Up, "", true, Key::Up, 0},
        {"Down", XK_Down, "", true, Key::Down, 0},
        {"Insert", XK_Insert, "", true, Key::Insert, 0},
        {"Delete", XK_Delete, "\x7F", true, Key::Delete, 0},
        {"Home", XK_Home, "", true, Key::Home, 0},
        {"End", XK_End, "", true, Key::End, 0},
        {"keypad Left", XK_KP_Left, "", true, Key::Left, 0},
        {"keypad Right", XK_KP_Right, "", true, Key::Right, 0},
        {"keypad Up", XK_KP_Up, "", true, Key::Up, 0},
        {"keypad Down", XK_KP_Down, "", true, Key::Down, 0},
        {"keypad Insert", XK_KP_Insert, "", true, Key::Insert, 0},
        {"keypad Delete", XK_KP_Delete, "", true, Key::Delete, 0},
        {"keypad Home", XK_KP_Home, "", true, Key::Home, 0},
        {"keypad End", XK_KP_End, "", true, Key::End, 0},
        {"keypad Enter", XK_KP_Enter, "\r", true, Key::Return, 0},
        {"text 8", XK_BackSpace, "\b", true, Key::Backspace, 0},
        {"text 9", XK_Tab, "\t", true, Key::Tab, 0},
        {"text 10", XK_Linefeed, "\n", true, Key::LineFeed, 0},
        {"text 13", XK_Return, "\r", true, Key::Return, 0},
        {"text 27", XK_Escape, "\x1B", true, Key::Escape, 0},
        {"space", XK_space, " ", true, Key::Character, ' '},
        {"a", XK_a, "a", true, Key::Character, 'a'},
        {"~", XK_asciitilde, "~", true, Key::Character, '~'},
        {"127 sends nothing", XK_VoidSymbol, "\x7F", false, Key::Character, 0},
        {"200 sends nothing", XK_Egrave, "\xC8", false, Key::Character, 0},
        {"Page Up sends nothing", XK_Page_Up, "", false, Key::Character, 0},
        {"a lone modifier sends nothing", XK_Control_L, "", false, Key::Character, 0},
        {"other control characters send nothing", XK_c, "\x03", false, Key::Character, 0},
        {"a two-byte text sends nothing", XK_eacute, "\xC3\xA9", false, Key::Character, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Key key = Key::End;
        char character = 'q';
        const bool sent = translateKey(c.keysym, c.text.data(), c.text.size(), key, character);
        EXPECT_EQ(sent, c.sent);
        if (sent) {
            EXPECT_EQ(key, c.key);
            EXPECT_EQ(character, c.character);
        }
    }
}

TEST(KeyMapping, PointerButtonsAndModifiers)
{
    EXPECT_EQ(translateButton(Button1), 1);
    EXPECT_EQ(translateButton(Button2), 2);
    EXPECT_EQ(translateButton(Button3), 4);
    EXPECT_EQ(translateButton(Button4), 0); // wheel
    EXPECT_EQ(translateButton(Button5), 0);
    EXPECT_EQ(translateModifiers(Button1Mask | ControlMask), 1 | 8);
    EXPECT_EQ(translateModifiers(Button2Mask | Button3Mask | ShiftMask), 2 | 4 | 16);
    EXPECT_EQ(translateModifiers(Mod1Mask | LockMask | Button4Mask), 0);
}
