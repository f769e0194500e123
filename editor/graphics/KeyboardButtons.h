#pragma once

namespace Zq::Application::Graphics {

// The keys the editor window sends; every key but Character carries the
// character 0.
enum KeyboardButtons {
    Character = 0, // a printable character 32..126, passed with it
    Backspace = 1,
    LineFeed = 2,
    Escape = 3,
    Tab = 4,
    Return = 5,
    Left = 6,
    Right = 7,
    Up = 8,
    Down = 9,
    Insert = 10,
    Delete = 11,
    Home = 12,
    End = 13,
};

// Mouse buttons (the `button` argument) and modifier bits (`modifiers`).
enum MouseButtons { LeftButton = 1, MiddleButton = 2, RightButton = 4 };
enum Modifiers {
    LeftButtonDown = 1,
    MiddleButtonDown = 2,
    RightButtonDown = 4,
    ControlDown = 8,
    ShiftDown = 16
};

} // namespace Zq::Application::Graphics
