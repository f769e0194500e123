#include "host/app/vphoClock.h"

#include <chrono>

std::int64_t vphoMonotonicClock::nowMicros() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

vphoMonotonicClock& vphoMonotonicClock::instance()
{
    static vphoMonotonicClock clock;
    return clock;
}
