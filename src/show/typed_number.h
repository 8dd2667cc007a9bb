// The show number that a user types at the viewer, and the choice it names.
// Digits (main row or numeric keypad) gather up to 9 characters; the number
// is taken once no further digit came for 501 ms, or at the next check after
// Enter (which moves the typed time back by 1 000 000 ms).
//
//     TypedNumber typed;
//     typed.key(kKeyDigit1, now);
//     typed.key(kKeyDigit2, now + 100);
//     if (typed.due(now + 700)) ShowChoice c = chooseShow(typed.take(), shows);  // show 12
//
// Choices for N shows: 1 ... N show n - 1 in play mode 0; N + 1 "Loop All"
// (show 0, mode 2); N + 2 "Play All" (show 0, mode 1); anything else none.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lv {

// Virtual-key codes the viewer passes on from WM_KEYDOWN.
inline constexpr int kKeyEnter = 0x0D;
inline constexpr int kKeyEscape = 0x1B;
inline constexpr int kKeyPageUp = 0x21;    // VK_PRIOR
inline constexpr int kKeyPageDown = 0x22;  // VK_NEXT
inline constexpr int kKeyDigit0 = 0x30;    // '0' ... '9'
inline constexpr int kKeyDigit1 = 0x31;
inline constexpr int kKeyNumpad0 = 0x60;   // VK_NUMPAD0 ... VK_NUMPAD9

inline constexpr int kTypedDigitsMax = 9;
inline constexpr std::int32_t kTypedQuietMs = 501;
inline constexpr std::uint32_t kEnterShiftMs = 1000000;

// The digit of a main-row or keypad key, or -1.
int keyDigit(int virtualKey);

class TypedNumber {
public:
    // A digit key appends (below 9 characters) and sets the typed time;
    // Enter moves the typed time back; true when the key was one of those.
    bool key(int virtualKey, std::uint32_t now);
    // The number as a click writes it ("%d" of the choice + 1).
    void set(int number, std::uint32_t now);
    // Whether there are digits and at least 501 ms passed since the typed time.
    bool due(std::uint32_t now) const;
    // The digits read as a decimal number, and cleared.
    std::int64_t take();
    void clear() { digits_.clear(); }
    bool empty() const { return digits_.empty(); }
    const std::string& digits() const { return digits_; }
    std::uint32_t typedTime() const { return typedTime_; }

private:
    std::string digits_;
    std::uint32_t typedTime_ = 0;
};

struct ShowChoice {
    int show = 0;
    int mode = 0;  // play mode
    bool operator==(const ShowChoice&) const = default;
};
// The show and play mode that typed or clicked number n names among N shows.
std::optional<ShowChoice> chooseShow(std::int64_t n, int showCount);

}  // namespace lv
