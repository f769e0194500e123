#pragma once

#include <functional>
#include <string>

namespace platform {

// Message boxes go to a replaceable sink. Kinds: 0 OK only, 1 OK and Cancel,
// 2 Yes and No; the answer is true for OK or Yes.
//
// The default sink has no window: it prints "caption: text" as one line on
// standard error and gives the cautious answer, true for kind 0 and false
// (Cancel, No) for kinds 1 and 2.
using MessageHandler =
    std::function<bool(const std::string& text, const std::string& caption, int kind)>;

// Installs a handler (an empty one restores the default); returns the previous one.
MessageHandler setMessageHandler(MessageHandler handler);

bool showMessageBox(const std::string& text, const std::string& caption, int kind);
// The same under the plug-in core's name.
inline bool showMessage(const std::string& text, const std::string& caption, int kind)
{
    return showMessageBox(text, caption, kind);
}

// "Please ensure this product has been installed properly", "Registry error", OK.
void showInstallError();
// The same, after a line on standard error naming the setting that could not
// be read and why.
void showInstallError(const std::string& valueName, const std::string& reason);

} // namespace platform
