#include "platform/clock.h"

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
}  // namespace

Clock& systemClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace lv
