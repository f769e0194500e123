#pragma once

#include <X11/Xlib.h>

namespace platform::window {

// Xlib's default error handler ends the process, and a plug-in must never do
// that to its host. While the layer has connections open, its handler counts
// the errors of its own connections and passes every other connection's errors
// to the handler that was there before. When the last connection closes the
// previous handler comes back, unless someone replaced the layer's meanwhile.
namespace x11errors {

void attach(Display* display);
void detach(Display* display);
// Errors counted on this connection so far.
unsigned long count(Display* display);

} // namespace x11errors

} // namespace platform::window
