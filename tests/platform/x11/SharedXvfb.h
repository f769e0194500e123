#pragma once

#include "tests/editor/x11/XvfbServer.h"

namespace test::x11 {

// One Xvfb for the whole test executable, started by its first user and
// stopped when the executable ends.
inline XvfbServer& sharedXvfb()
{
    static XvfbServer server;
    return server;
}

} // namespace test::x11
