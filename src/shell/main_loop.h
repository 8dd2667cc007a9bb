// The program's single message loop.
//
// Messages are taken without waiting as long as there are any. Right after a
// dispatched message, at most every 250 ms, the periodic tick runs (the
// thumbnail area's layout and the sweep of dead script objects hang on it);
// nothing ticks while no message arrives. At the first moment the queue is
// empty the first-idle work runs, once. A quit message ends the loop.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/clock.h"

namespace lv {

// The thread's message queue, as the platform offers it.
class MessageQueue {
public:
    enum class Taken { Dispatched, Quit, Empty };
    virtual ~MessageQueue() = default;
    // Takes one message without waiting; translates and dispatches it unless
    // it is the quit message.
    virtual Taken takeAndDispatch() = 0;
    // Blocks until a message arrives.
    virtual void waitForMessage() = 0;
};

struct MainLoopHooks {
    std::function<void()> tick;       // periodic work after dispatched messages
    std::function<void()> firstIdle;  // reading the first roll, then postInit
};

class MainLoop {
public:
    static constexpr std::int32_t kTickMs = 250;

    MainLoop(MessageQueue& queue, Clock& clock, MainLoopHooks hooks);

    // Runs until the quit message.
    void run();

    bool postInitDone() const { return postInitDone_; }

private:
    void afterDispatch();

    MessageQueue& queue_;
    Clock& clock_;
    MainLoopHooks hooks_;
    std::uint32_t lastTick_ = 0;
    bool postInitDone_ = false;
};

}  // namespace lv
