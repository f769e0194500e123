#include "platform/MonotonicClock.h"

#include <chrono>

namespace platform {

namespace {
const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();
}

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - programStart).count();
}

} // namespace platform
