// The millisecond clock of the platform: a 32-bit count that wraps, so
// durations are the signed difference of two readings.
#pragma once

#include <cstdint>

namespace lv {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t milliseconds() = 0;
};

// Signed difference of two readings, correct across the wrap of the count.
inline std::int32_t elapsedMs(std::uint32_t from, std::uint32_t to) {
    return static_cast<std::int32_t>(to - from);
}

// The system's tick count (GetTickCount on Windows, a monotonic clock elsewhere).
Clock& systemClock();

// The same count read more cheaply, in steps of the system timer's tick (at
// most 4 ms; on Windows the tick count itself, whose steps are 10 to 16 ms):
// for time budgets that are checked thousands of times a second and only
// need to end near their length.
Clock& coarseClock();

}  // namespace lv
