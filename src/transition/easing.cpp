#include "transition/easing.h"

#include <algorithm>
#include <cmath>

namespace lv {

namespace {

double shaped(double x, EasingShape shape) { return shape == EasingShape::Cube ? x * x * x : x * x; }

// x / d, with a one-point range (d = 0) taken as its start.
double fraction(std::int32_t x, std::int32_t d) { return d > 0 ? static_cast<double>(x) / d : 0.0; }

std::int32_t clampTo(double v, std::int32_t n) {
    return static_cast<std::int32_t>(std::clamp<double>(std::floor(v + 0.5), 0.0, static_cast<double>(n)));
}

}  // namespace

std::vector<std::int32_t> symmetricEasing(std::int32_t n, EasingShape shape) {
    if (n <= 0) return {0};
    std::vector<std::int32_t> table(static_cast<std::size_t>(n) + 1);
    const std::int32_t h = n / 2;
    const double s = n / 2.0;
    for (std::int32_t i = 0; i < h; ++i) table[i] = clampTo(s * shaped(fraction(i, h - 1), shape), n);
    std::int32_t at = h;
    for (std::int32_t j = n - h - 1; j >= 0; --j) table[at++] = clampTo(n - s * shaped(fraction(j, n - h), shape), n);
    table[n] = n;
    return table;
}

std::vector<std::int32_t> acceleratingEasing(std::int32_t n, EasingShape shape) {
    if (n <= 0) return {0};
    std::vector<std::int32_t> table(static_cast<std::size_t>(n) + 1);
    for (std::int32_t i = 0; i < n; ++i) table[i] = clampTo(n * shaped(fraction(i, n - 1), shape), n);
    table[n] = n;
    return table;
}

std::int32_t easedAt(const std::vector<std::int32_t>& table, std::int64_t t) {
    if (table.empty()) return 0;
    const std::int64_t last = static_cast<std::int64_t>(table.size()) - 1;
    return table[static_cast<std::size_t>(std::clamp<std::int64_t>(t, 0, last))];
}

}  // namespace lv
