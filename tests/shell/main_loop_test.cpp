#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace lv {
namespace {

// A scripted queue: each entry is a batch of messages that arrive together;
// the clock moves by a batch's delay before it arrives.
class FakeQueue : public MessageQueue, public Clock {
public:
    struct Batch {
        std::uint32_t delayMs;
        int messages;
        bool quitAfter = false;
    };
    std::deque<Batch> batches;
    std::uint32_t now = 0xFFFFF000u;  // close to the wrap of the count
    int pending = 0;
    bool quitPending = false;
    std::vector<std::string>* log = nullptr;

    std::uint32_t milliseconds() override { return now; }
    Taken takeAndDispatch() override {
        if (pending > 0) {
            --pending;
            now += 1;
            log->push_back("msg");
            return Taken::Dispatched;
        }
        if (quitPending) return Taken::Quit;
        return Taken::Empty;
    }
    void waitForMessage() override {
        if (batches.empty()) {
            quitPending = true;
            return;
        }
        const Batch b = batches.front();
        batches.pop_front();
        now += b.delayMs;
        pending = b.messages;
        quitPending = b.quitAfter;
    }
};

struct LoopFixture : ::testing::Test {
    FakeQueue queue;
    std::vector<std::string> log;
    std::vector<std::uint32_t> tickTimes;

    void run(int initialMessages) {
        queue.log = &log;
        queue.pending = initialMessages;
        MainLoop loop(queue, queue,
                      MainLoopHooks{[&] {
                                        log.push_back("tick");
                                        tickTimes.push_back(queue.now);
                                    },
                                    [&] { log.push_back("postInit"); }});
        loop.run();
    }
};

TEST_F(LoopFixture, FirstMessageTicksAndPostInitRunsOnceWhenIdle) {
    queue.batches = {{10, 1}, {10, 1}};
    run(2);
    const std::vector<std::string> expected = {"msg", "tick", "msg", "postInit", "msg", "msg"};
    EXPECT_EQ(log, expected);
}

TEST_F(LoopFixture, TicksAreAtLeast250msApartAndFollowMessages) {
    queue.batches = {{100, 1}, {100, 1}, {49, 1}, {1, 1}, {300, 0}, {0, 1}};
    run(1);
    ASSERT_EQ(tickTimes.size(), 3u);
    for (std::size_t i = 1; i < tickTimes.size(); ++i)
        EXPECT_GE(elapsedMs(tickTimes[i - 1], tickTimes[i]), MainLoop::kTickMs);
    // Time passing with no message never ticks: the last tick comes with the
    // message after the silent 300 ms, not during it.
    EXPECT_EQ(log.back(), "tick");
}

TEST_F(LoopFixture, QuitBeforeIdleSkipsPostInit) {
    queue.quitPending = true;
    run(3);
    EXPECT_EQ(log, (std::vector<std::string>{"msg", "tick", "msg", "msg"}));
}

TEST_F(LoopFixture, EmptyQueueRunsPostInitThenWaits) {
    run(0);
    EXPECT_EQ(log, std::vector<std::string>{"postInit"});
}

}  // namespace
}  // namespace lv
