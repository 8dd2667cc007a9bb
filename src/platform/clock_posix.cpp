#include "platform/clock.h"

#include <time.h>

#include <chrono>

namespace lv {

namespace {
class SteadyClock final : public Clock {
public:
    std::uint32_t milliseconds() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
};

#ifdef CLOCK_MONOTONIC_COARSE
// The monotonic clock as of the last timer tick: a read of the kernel's
// shared page without the cycle counter, about a fifth of the fine read.
class CoarseClock final : public Clock {
public:
    std::uint32_t milliseconds() override {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
        return static_cast<std::uint32_t>(t.tv_sec) * 1000u + static_cast<std::uint32_t>(t.tv_nsec / 1000000);
    }
};

bool coarseTickAtMost4Ms() {
    timespec resolution{};
    return clock_getres(CLOCK_MONOTONIC_COARSE, &resolution) == 0 && resolution.tv_sec == 0 &&
           resolution.tv_nsec <= 4000000;
}
#endif
}  // namespace

Clock& systemClock() {
    static SteadyClock clock;
    return clock;
}

Clock& coarseClock() {
#ifdef CLOCK_MONOTONIC_COARSE
    static CoarseClock coarse;
    static Clock& clock = coarseTickAtMost4Ms() ? static_cast<Clock&>(coarse) : systemClock();
    return clock;
#else
    return systemClock();
#endif
}

}  // namespace lv
