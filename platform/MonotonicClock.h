#pragma once

// Seconds since the program started, from the system's monotonic clock, as a
// double: the value never jumps with the wall clock, never wraps, and keeps
// sub-millisecond steps after months of uptime (a float second count would
// step by 62 ms after ten days and misplace short periodic tasks).
namespace platform {

double monotonicSeconds();

} // namespace platform
