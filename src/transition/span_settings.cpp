#include "transition/span_settings.h"

#include <mutex>

namespace lv {

namespace {

std::mutex& settingsMutex() {
    static std::mutex mutex;
    return mutex;
}

SpanMaskSettings& current() {
    static SpanMaskSettings settings;
    return settings;
}

}  // namespace

SpanMaskSettings spanMaskSettings() {
    std::lock_guard lock(settingsMutex());
    return current();
}

void setSpanMaskSettings(const SpanMaskSettings& settings) {
    std::lock_guard lock(settingsMutex());
    current() = settings;
}

}  // namespace lv
