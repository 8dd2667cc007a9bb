#include "shell/main_loop.h"

#include <utility>

namespace lv {

MainLoop::MainLoop(MessageQueue& queue, Clock& clock, MainLoopHooks hooks)
    : queue_(queue), clock_(clock), hooks_(std::move(hooks)) {}

void MainLoop::run() {
    // Pretend the last tick was a second ago so that the first dispatched
    // message already ticks.
    lastTick_ = clock_.milliseconds() - 1000;
    for (;;) {
        for (;;) {
            const MessageQueue::Taken taken = queue_.takeAndDispatch();
            if (taken == MessageQueue::Taken::Quit) return;
            if (taken == MessageQueue::Taken::Empty) break;
            afterDispatch();
        }
        if (!postInitDone_) {
            if (hooks_.firstIdle) hooks_.firstIdle();
            postInitDone_ = true;
        }
        queue_.waitForMessage();
    }
}

void MainLoop::afterDispatch() {
    if (elapsedMs(lastTick_, clock_.milliseconds()) < kTickMs) return;
    if (hooks_.tick) hooks_.tick();
    lastTick_ = clock_.milliseconds();
}

}  // namespace lv
