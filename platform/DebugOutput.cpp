#include "platform/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

bool standardErrorWanted()
{
    const char* value = std::getenv("RIG_DEBUG_OUTPUT");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

void defaultSink(std::string_view text)
{
    static const bool wanted = standardErrorWanted();
    if (wanted) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
}

struct SinkSlot {
    std::mutex mutex;
    DebugOutputSink sink;
};

SinkSlot& slot()
{
    static SinkSlot instance;
    return instance;
}

} // namespace

void debugOutput(std::string_view text)
{
    SinkSlot& s = slot();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (s.sink)
        s.sink(text);
    else
        defaultSink(text);
}

DebugOutputSink setDebugOutputSink(DebugOutputSink sink)
{
    SinkSlot& s = slot();
    std::lock_guard<std::mutex> guard(s.mutex);
    DebugOutputSink previous = std::move(s.sink);
    s.sink = std::move(sink);
    return previous;
}

} // namespace platform
