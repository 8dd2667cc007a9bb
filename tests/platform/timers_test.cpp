#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/one_shot_timer.h"
#include "platform/periodic_timer.h"

namespace lv {
namespace {

bool waitFor(const std::atomic<int>& value, int wanted) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (value.load() < wanted && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return value.load() >= wanted;
}

TEST(OneShotTimer, FiresOnceAfterTheDelay) {
    auto timer = createOneShotTimer();
    std::atomic<int> fired{0};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(timer->arm(20, [&] { ++fired; }));
    ASSERT_TRUE(waitFor(fired, 1));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(19));
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(fired.load(), 1);
}

TEST(OneShotTimer, ACallbackMayArmTheNextEvent) {
    auto timer = createOneShotTimer();
    std::atomic<int> fired{0};
    std::function<void()> chain = [&] {
        if (++fired < 5) timer->arm(1, chain);
    };
    ASSERT_TRUE(timer->arm(1, chain));
    EXPECT_TRUE(waitFor(fired, 5));
}

TEST(OneShotTimer, CancelDropsThePendingEvent) {
    auto timer = createOneShotTimer();
    std::atomic<int> fired{0};
    ASSERT_TRUE(timer->arm(50, [&] { ++fired; }));
    timer->cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_EQ(fired.load(), 0);
    EXPECT_FALSE(timer->arm(1, [&] { ++fired; }));
}

// stop() returns only when no tick is running or will run.
TEST(PeriodicTimer, TicksUntilStoppedAndNeverAfter) {
    std::atomic<int> ticks{0};
    PeriodicTimer timer;
    ASSERT_TRUE(timer.start(5, [&] { ++ticks; }));
    EXPECT_TRUE(timer.running());
    EXPECT_TRUE(waitFor(ticks, 2));
    timer.stop();
    EXPECT_FALSE(timer.running());
    const int seen = ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(ticks, seen);
}

}  // namespace
}  // namespace lv
