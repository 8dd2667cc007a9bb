#include "show/transition_choice.h"

#include <algorithm>

#include "show/show_player.h"

namespace lv {

bool needsSlowTransition(int number) { return (number >= 14 && number <= 17) || (number >= 126 && number <= 129); }

TransitionChoice chooseTransition(const TransitionRequest& request) {
    if (request.fade == kFadeNone) return {};
    int number = request.fade != kFadeOwn ? kTransitionBlend : request.number;
    // A late picture: the transition ends when it would have ended on time.
    const std::int64_t late = std::max<std::int32_t>(request.lateMs, 0);
    const std::int64_t remaining = std::int64_t{request.timeMs} - late;
    const std::int32_t timeMs = static_cast<std::int32_t>(std::max<std::int64_t>(remaining, 0));
    if (request.previousPicture && late > 0 && remaining < kLateRemainMs) return {kTransitionNone, timeMs};
    if (needsSlowTransition(number) && timeMs <= kSlowTransitionMs) number = kTransitionBlend;
    return {number, timeMs};
}

int fallbackTransition(int failedNumber) { return failedNumber == kTransitionNone ? 0 : kTransitionNone; }

}  // namespace lv
