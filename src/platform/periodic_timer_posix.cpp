#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/periodic_timer.h"

namespace lv {

struct PeriodicTimer::State {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
};

PeriodicTimer::PeriodicTimer() : state_(std::make_unique<State>()) {}

PeriodicTimer::~PeriodicTimer() { stop(); }

bool PeriodicTimer::start(std::uint32_t periodMs, std::function<void()> callback) {
    stop();
    state_->stopping = false;
    State* s = state_.get();
    s->thread = std::thread([s, periodMs, callback = std::move(callback)] {
        std::unique_lock lock(s->mutex);
        auto next = std::chrono::steady_clock::now();
        for (;;) {
            next += std::chrono::milliseconds(periodMs);
            if (s->wake.wait_until(lock, next, [s] { return s->stopping; })) return;
            lock.unlock();
            callback();
            lock.lock();
        }
    });
    return true;
}

void PeriodicTimer::stop() {
    if (!state_->thread.joinable()) return;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_all();
    state_->thread.join();
}

bool PeriodicTimer::running() const { return state_->thread.joinable(); }

}  // namespace lv
