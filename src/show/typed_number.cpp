#include "show/typed_number.h"

#include "platform/clock.h"

namespace lv {

int keyDigit(int virtualKey) {
    if (virtualKey >= kKeyDigit0 && virtualKey <= kKeyDigit0 + 9) return virtualKey - kKeyDigit0;
    if (virtualKey >= kKeyNumpad0 && virtualKey <= kKeyNumpad0 + 9) return virtualKey - kKeyNumpad0;
    return -1;
}

bool TypedNumber::key(int virtualKey, std::uint32_t now) {
    if (virtualKey == kKeyEnter) {
        // Moving the typed time far back makes the number due at the next check.
        typedTime_ -= kEnterShiftMs;
        return true;
    }
    const int digit = keyDigit(virtualKey);
    if (digit < 0) return false;
    if (digits_.size() < kTypedDigitsMax) {
        digits_.push_back(static_cast<char>('0' + digit));
        typedTime_ = now;
    }
    return true;
}

void TypedNumber::set(int number, std::uint32_t now) {
    digits_ = std::to_string(number);
    typedTime_ = now;
}

bool TypedNumber::due(std::uint32_t now) const {
    return !digits_.empty() && elapsedMs(typedTime_, now) >= kTypedQuietMs;
}

std::int64_t TypedNumber::take() {
    std::int64_t n = 0;
    // At most 9 digits, so the value stays far inside 64 bits.
    for (char c : digits_) n = n * 10 + (c - '0');
    digits_.clear();
    return n;
}

std::optional<ShowChoice> chooseShow(std::int64_t n, int showCount) {
    const std::int64_t shows = showCount;
    if (n >= 1 && n <= shows) return ShowChoice{static_cast<int>(n - 1), 0};
    if (n == shows + 1) return ShowChoice{0, 2};  // "Loop All"
    if (n == shows + 2) return ShowChoice{0, 1};  // "Play All"
    return std::nullopt;
}

}  // namespace lv
