// Easing tables: the position reached at each step of a motion of n steps,
// n + 1 integers from 0 to n.
//
// The symmetric table starts slowly, is fastest in the middle and slows at
// the end; for 8 steps with f(x) = x^3 it is 0, 0, 1, 4, 6, 8, 8, 8, 8. The
// accelerating table starts slowly and is fastest at the end; for 8 steps
// 0, 0, 0, 1, 1, 3, 5, 8, 8. Tables of 0 to 3 steps are well defined (a
// single point of a curve counts as its start), and a negative n gives {0}.
#pragma once

#include <cstdint>
#include <vector>

namespace lv {

enum class EasingShape { Square, Cube };

std::vector<std::int32_t> symmetricEasing(std::int32_t steps, EasingShape shape);
std::vector<std::int32_t> acceleratingEasing(std::int32_t steps, EasingShape shape);

// table[t] with t clamped to the table.
std::int32_t easedAt(const std::vector<std::int32_t>& table, std::int64_t t);

}  // namespace lv
