#pragma once

#include <cstddef>

#include "platform/window/Events.h"

namespace platform::window {

// An X key press to the editor's key: the cursor and editing keys by keysym
// (main and keypad forms), keypad Enter as Return, then the text the key
// types: 8, 9, 10, 13, 27 and the printable 32..126. Anything else (lone
// modifiers, function keys, other characters) gives false: nothing is sent.
bool translateKey(unsigned long keysym, const char* text, std::size_t textLength, Key& key,
                  char& character);

// The modifier word of an X pointer event's state (the state before the
// event): buttons 1, 2, 3 held give 1, 2, 4; Control 8; Shift 16.
int translateModifiers(unsigned int state);

// X buttons 1, 2, 3 give 1, 2, 4; the wheel and other buttons give 0.
int translateButton(unsigned int button);

} // namespace platform::window
