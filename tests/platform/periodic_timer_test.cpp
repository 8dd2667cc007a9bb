#include "platform/periodic_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace lv {
namespace {

TEST(PeriodicTimer, TicksUntilStoppedAndNeverAfter) {
    std::atomic<int> ticks{0};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.start(5, [&] { ++ticks; }));
    EXPECT_TRUE(timer.running());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    timer.stop();
    EXPECT_FALSE(timer.running());
    const int seen = ticks;
    EXPECT_GE(seen, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(ticks, seen);
}

}  // namespace
}  // namespace lv
