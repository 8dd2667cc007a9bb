// A one-shot timer of millisecond resolution whose callback runs on a thread
// of the timer's own (the multimedia-timer thread on Windows). The callback
// may arm the timer again, so a chain of events keeps at most one pending.
//
//     auto timer = createOneShotTimer();
//     if (!timer->arm(5, [&] { tick(); })) giveUp();
//
// arm returns false when the platform refused the event. cancel drops a
// pending event and waits for a running callback to return; it must not be
// called from the callback. The destructor cancels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace lv {

class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    virtual bool arm(std::uint32_t milliseconds, std::function<void()> callback) = 0;
    virtual void cancel() = 0;
};

std::unique_ptr<OneShotTimer> createOneShotTimer();

}  // namespace lv
