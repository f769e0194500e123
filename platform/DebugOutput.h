#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Where diagnostic text goes that a developer may want to watch but no user needs
// (for one, the kernel dispatcher's report of its choice). Silent by default; with
// the environment variable RIG_DEBUG_OUTPUT set to anything but "" or "0", the
// text goes to standard error. Not for the audio thread: the sink may block.
using DebugOutputSink = std::function<void(std::string_view text)>;

// Sends the text, unchanged, to the current sink.
void debugOutput(std::string_view text);

// Installs a sink (an empty one restores the default) and returns the one it
// replaces. Any thread; a text being sent finishes on the old sink first.
DebugOutputSink setDebugOutputSink(DebugOutputSink sink);

} // namespace platform
