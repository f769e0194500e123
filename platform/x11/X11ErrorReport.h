#pragma once

#include <X11/Xlib.h>

// The host's X error handler. Xlib's handler is process-wide and its default
// ends the process; the host installs this one at start, before any module is
// loaded, so that the editor's handler, installed later, passes its foreign
// errors here. Every error is reported as one line on standard error and the
// program goes on.
namespace platform::ui::x11 {

void installErrorReport();
// Errors reported for that connection so far.
unsigned long errorCount(Display* display);
// Before the connection closes: its count goes (the address may come again).
void forgetDisplay(Display* display);

} // namespace platform::ui::x11
