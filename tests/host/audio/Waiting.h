#pragma once

#include <chrono>
#include <thread>

namespace test {

// Polls until the condition holds; false after a generous bound, so that a
// device that never calls back fails the test instead of hanging it.
template <typename Condition> bool waitUntil(Condition condition)
{
    for (int i = 0; i < 10000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

} // namespace test
