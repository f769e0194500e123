#pragma once

#include <cstdint>

// Microseconds of a monotonic clock, the time base of the CPU meter, the tap
// tempo and the audio start delays. Injected, so that tests can step it.
class vphoClock {
public:
    virtual ~vphoClock() = default;
    // Any thread; never goes back.
    virtual std::int64_t nowMicros() const = 0;
};

// The system's monotonic clock.
class vphoMonotonicClock final : public vphoClock {
public:
    std::int64_t nowMicros() const override;
    static vphoMonotonicClock& instance();
};
