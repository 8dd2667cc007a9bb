// The portable one-shot timer: one thread that sleeps until the armed
// deadline and runs the callback outside the lock, so it may arm again.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/one_shot_timer.h"

namespace lv {

namespace {

class ThreadTimer : public OneShotTimer {
public:
    ~ThreadTimer() override { cancel(); }

    bool arm(std::uint32_t milliseconds, std::function<void()> callback) override {
        std::unique_lock lock(mutex_);
        if (stopping_) return false;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        callback_ = std::move(callback);
        armed_ = true;
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
        wake_.notify_all();
        return true;
    }

    void cancel() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            armed_ = false;
            wake_.notify_all();
        }
        if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            if (!armed_) {
                wake_.wait(lock);
                continue;
            }
            if (wake_.wait_until(lock, deadline_) != std::cv_status::timeout && std::chrono::steady_clock::now() < deadline_) continue;
            if (!armed_ || stopping_) continue;
            armed_ = false;
            std::function<void()> callback = std::move(callback_);
            lock.unlock();
            callback();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    std::chrono::steady_clock::time_point deadline_{};
    std::function<void()> callback_;
    bool armed_ = false;
    bool stopping_ = false;
};

}  // namespace

std::unique_ptr<OneShotTimer> createOneShotTimer() { return std::make_unique<ThreadTimer>(); }

}  // namespace lv
