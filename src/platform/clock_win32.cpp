#include "platform/clock.h"

#include <windows.h>

namespace lv {

namespace {
class TickClock final : public Clock {
public:
    std::uint32_t milliseconds() override { return GetTickCount(); }
};
}  // namespace

Clock& systemClock() {
    static TickClock clock;
    return clock;
}

// GetTickCount is already a cheap read of the timer tick.
Clock& coarseClock() { return systemClock(); }

}  // namespace lv
