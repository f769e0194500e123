#pragma once

#include "host/app/vphoClock.h"

#include <atomic>
#include <cstdint>

namespace test {

// A clock the test moves by hand; it starts far from zero, as a real
// monotonic clock does.
class FakeClock final : public vphoClock {
public:
    std::int64_t nowMicros() const override { return now.load(); }
    void advance(std::int64_t micros) { now += micros; }
    void advanceSeconds(double seconds) { now += static_cast<std::int64_t>(seconds * 1e6); }

    std::atomic<std::int64_t> now{1'000'000'000};
};

} // namespace test
