// The Win32 one-shot timer: a multimedia timer event (timeSetEvent, one
// shot, 1 ms resolution). Each event arms the next one itself, so the
// callback is copied out before it runs.
#include <windows.h>
#include <mmsystem.h>

#include <mutex>

#include "platform/one_shot_timer.h"

namespace lv {

namespace {

class MultimediaTimer : public OneShotTimer {
public:
    ~MultimediaTimer() override { cancel(); }

    bool arm(std::uint32_t milliseconds, std::function<void()> callback) override {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
        callback_ = std::move(callback);
        const MMRESULT id = timeSetEvent(milliseconds < 1 ? 1 : milliseconds, 1, &MultimediaTimer::fire,
                                         reinterpret_cast<DWORD_PTR>(this), TIME_ONESHOT | TIME_CALLBACK_FUNCTION);
        event_ = id;
        return id != 0;
    }

    void cancel() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            if (event_ != 0) timeKillEvent(event_);
            event_ = 0;
        }
        // A callback that already started finishes before we return.
        std::lock_guard running(runMutex_);
    }

private:
    static void CALLBACK fire(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<MultimediaTimer*>(user);
        std::lock_guard running(self->runMutex_);
        std::function<void()> callback;
        {
            std::lock_guard lock(self->mutex_);
            if (self->stopping_) return;
            self->event_ = 0;
            callback = std::move(self->callback_);
        }
        if (callback) callback();
    }

    std::mutex mutex_;
    std::mutex runMutex_;
    std::function<void()> callback_;
    MMRESULT event_ = 0;
    bool stopping_ = false;
};

}  // namespace

std::unique_ptr<OneShotTimer> createOneShotTimer() { return std::make_unique<MultimediaTimer>(); }

}  // namespace lv
