#pragma once

#include <cstdint>

namespace platform::window {

// Pixels of the editor window, origin at its top-left.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect&) const = default;
};

// Key codes as the editor's receiver takes them (same values).
enum class Key : int {
    Character = 0,
    Backspace,
    LineFeed,
    Escape,
    Tab,
    Return,
    Left,
    Right,
    Up,
    Down,
    Insert,
    Delete,
    Home,
    End
};

// Mouse buttons and modifier bits as the editor takes them.
enum : int {
    ButtonLeft = 1,
    ButtonMiddle = 2,
    ButtonRight = 4,
    ModifierControl = 8,
    ModifierShift = 16,
};

// One event for the window's client, already in the editor's terms.
struct Event {
    enum class Type { MouseMove, MouseDown, MouseUp, Key, FocusLost, Timer };
    Type type = Type::Timer;
    int x = 0;
    int y = 0;
    int button = 0;    // MouseDown, MouseUp: 1, 2 or 4
    int modifiers = 0; // mouse events: buttons held 1, 2, 4, control 8, shift 16
    Key key = Key::Character;
    char character = 0; // Key::Character only
};

} // namespace platform::window
