#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/headless/WindowLayer.h"

// The host's message box: a small window of its own on a connection of its
// own, so it shows before any other window exists and whatever state the
// host's windows are in. Kinds as platform/MessageBox.h names them: 0 OK,
// 1 OK and Cancel, 2 Yes and No.
namespace platform::ui::x11 {

struct MessageBoxButton {
    std::string label;
    bool answer = false;
    Rect area;
};

struct MessageBoxLayout {
    int width = 0;
    int height = 0;
    // The text broken into the lines the box shows.
    std::vector<std::string> lines;
    std::vector<MessageBoxButton> buttons;
};

// Where everything goes, for a character cell of that size.
MessageBoxLayout messageBoxLayout(const std::string& text, int kind, int charWidth = 6,
                                  int lineHeight = 13);

// Shows the box and waits for the answer: a button, Return (OK or Yes),
// Escape or the window's close button (Cancel or No; OK for kind 0). Nothing
// when no display opens.
std::optional<bool> runMessageBox(const std::string& text, const std::string& caption, int kind);

// Makes the box the program's message handler (platform::setMessageHandler):
// with ZQ_MESSAGE_BOX=stderr in the environment, or when no display opens,
// the handler it replaces answers instead.
void installMessageBox();

} // namespace platform::ui::x11
