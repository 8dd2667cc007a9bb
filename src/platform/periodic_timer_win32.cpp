// The multimedia timer: periodic, resolution 5 ms, kill-synchronous so that
// timeKillEvent waits for a running callback (retried without that flag
// where the system refuses it; stop() then waits for the callback itself).
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <mutex>

#include "platform/periodic_timer.h"

namespace lv {

struct PeriodicTimer::State {
    UINT id = 0;
    std::function<void()> callback;
    std::mutex running;  // held while the callback runs
    std::atomic<bool> stopping{false};
};

namespace {

void CALLBACK onTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* s = reinterpret_cast<PeriodicTimer::State*>(user);
    if (s->stopping) return;
    std::lock_guard lock(s->running);
    if (!s->stopping) s->callback();
}

}  // namespace

PeriodicTimer::PeriodicTimer() : state_(std::make_unique<State>()) {}

PeriodicTimer::~PeriodicTimer() { stop(); }

bool PeriodicTimer::start(std::uint32_t periodMs, std::function<void()> callback) {
    stop();
    state_->callback = std::move(callback);
    state_->stopping = false;
    const auto user = reinterpret_cast<DWORD_PTR>(state_.get());
    state_->id = timeSetEvent(periodMs, 5, onTimer, user, TIME_PERIODIC | TIME_KILL_SYNCHRONOUS);
    if (state_->id == 0) state_->id = timeSetEvent(periodMs, 5, onTimer, user, TIME_PERIODIC);
    return state_->id != 0;
}

void PeriodicTimer::stop() {
    if (state_->id == 0) return;
    state_->stopping = true;
    timeKillEvent(state_->id);
    state_->id = 0;
    std::lock_guard wait(state_->running);  // a callback still running ends first
}

bool PeriodicTimer::running() const { return state_->id != 0; }

}  // namespace lv
