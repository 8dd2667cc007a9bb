// A periodic timer on a thread of its own: the multimedia timer on Windows
// (resolution 5 ms, kill-synchronous where the system allows), a plain
// thread elsewhere. stop() (and the destructor) returns only when no call
// of the callback is running or will run.
//
//     PeriodicTimer timer;
//     timer.start(20, [&] { feed.tick(); });
//     ...
//     timer.stop();
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace lv {

class PeriodicTimer {
public:
    PeriodicTimer();
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // False when the system refuses the timer.
    bool start(std::uint32_t periodMs, std::function<void()> callback);
    void stop();
    bool running() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace lv
