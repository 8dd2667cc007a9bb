// Which transition brings a show picture in, and for how long. The show
// names one per cell; the viewer's `fade` and the schedule override it:
//
//   fade -1                   no transition: the picture simply replaces the old one
//   fade other than 0         the cross-fade 171 (ssBlend), whatever the cell names
//   late, under 50 ms left    1 (ssNone), when a previous picture is up
//   14-17, 126-129            only above 400 ms, else 171
//
// The time is shortened by how late the picture is, so the transition ends
// when it would have ended on schedule, never below 0.
//
//     TransitionChoice c = chooseTransition({.fade = 0, .number = 15, .timeMs = 300});
//     // c.number == 171, c.timeMs == 300
//
// A run that cannot start falls back once to 1 (fallbackTransition).
#pragma once

#include <cstdint>

namespace lv {

inline constexpr int kFadeOwn = 0;
inline constexpr int kFadeNone = -1;
inline constexpr std::int32_t kLateRemainMs = 50;
inline constexpr std::int32_t kSlowTransitionMs = 400;

struct TransitionRequest {
    int fade = kFadeOwn;
    int number = 1;               // the cell's transition
    std::int32_t timeMs = 0;      // the cell's transition time
    std::int32_t lateMs = 0;      // how long past its due time the picture goes up
    bool previousPicture = false; // a picture of this playback is already up
};

struct TransitionChoice {
    int number = 0;               // 0: no transition
    std::int32_t timeMs = 0;
    bool operator==(const TransitionChoice&) const = default;
};

TransitionChoice chooseTransition(const TransitionRequest& request);

// The transitions that look poor when fast (14-17, 126-129).
bool needsSlowTransition(int number);

// The one replacement tried when the chosen transition cannot start: 1
// (ssNone); 0 when the failed one was 1 itself.
int fallbackTransition(int failedNumber);

}  // namespace lv
