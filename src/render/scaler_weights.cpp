#include "render/scaler_weights.h"

#include <algorithm>
#include <array>
#include <cmath>

// The weights must round alike in the 32-bit product and the 64-bit twin the
// tests run, so the 32-bit x86 build keeps floating point in SSE2 registers
// (cmake/mingw-i686.cmake); x87 arithmetic would make weights differ by 1.
#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit x86 builds need -msse2 -mfpmath=sse"
#endif

namespace lv {

namespace {

constexpr double kPi = 3.14159265358979323846;

double hermite(double x) {
    const double t = std::fabs(x);
    return t < 1 ? (2 * t - 3) * t * t + 1 : 0;
}
double box(double x) { return x >= -0.5 && x < 0.5 ? 1 : 0; }
double triangle(double x) {
    const double t = std::fabs(x);
    return t < 1 ? 1 - t : 0;
}
double bell(double x) {
    const double t = std::fabs(x);
    if (t < 0.5) return 0.75 - t * t;
    if (t < 1.5) return 0.5 * (t - 1.5) * (t - 1.5);
    return 0;
}
double bSpline(double x) {
    const double t = std::fabs(x);
    if (t < 1) return (0.5 * t - 1) * t * t + 2.0 / 3.0;
    if (t < 2) return (2 - t) * (2 - t) * (2 - t) / 6;
    return 0;
}
double sinc(double x) {
    if (x == 0) return 1;
    x *= kPi;
    return std::sin(x) / x;
}
double lanczos3(double x) { return std::fabs(x) < 3 ? sinc(x) * sinc(x / 3) : 0; }
double mitchell(double x) {
    const double t = std::fabs(x);
    if (t < 1) return ((7 * t - 12) * t * t + 16.0 / 3.0) / 6;
    if (t < 2) return (((-7.0 / 3.0 * t + 12) * t - 20) * t + 32.0 / 3.0) / 6;
    return 0;
}

struct Filter {
    double support;
    double (*shape)(double x);
};
// Indexed by method - kScaleHermite.
constexpr std::array<Filter, 7> kFilters{{
    {1.0, hermite}, {0.5, box}, {1.0, triangle}, {1.5, bell}, {2.0, bSpline}, {3.0, lanczos3}, {2.0, mitchell}}};

constexpr int kOne12 = 4096;
constexpr int kOne7 = 128;

// Source span and its start: the rectangle's, or the whole source.
double spanOf(const ScaleAxis& a) { return a.rectStart ? a.rectEnd - *a.rectStart : a.sourceLength; }

// Sampling position of output i with a source rectangle: pixel centres.
double rectPosition(const ScaleAxis& a, int i) {
    const double step = a.destLength < 2 ? 0 : (a.rectEnd - *a.rectStart) / a.destLength;
    return i * step + *a.rectStart - 0.5;
}

// Without a rectangle the first and last outputs land exactly on the first
// and last source pixels: position i * (m - 1) / (n - 1) in 1/unit pixels,
// rounded down (the same as a stepping error term carried along).
std::int64_t exactPosition(const ScaleAxis& a, int i, int unit) {
    if (a.destLength < 2) return 0;
    return std::int64_t{i} * (a.sourceLength - 1) * unit / (a.destLength - 1);
}

// Splits a position in 1/unit pixels into index and fraction.
struct Split {
    std::int64_t index;
    int fraction;
};
Split splitPosition(const ScaleAxis& a, int i, int unit) {
    if (!a.rectStart) {
        const std::int64_t p = exactPosition(a, i, unit);
        return {p / unit, static_cast<int>(p % unit)};
    }
    const double p = rectPosition(a, i);
    const double index = std::floor(p);
    return {static_cast<std::int64_t>(index), static_cast<int>((p - index) * unit)};
}

Contributions sized(int outputs, int taps, int shift) {
    Contributions c;
    c.taps = taps;
    c.shift = shift;
    c.first.assign(static_cast<std::size_t>(outputs), 0);
    c.weights.assign(static_cast<std::size_t>(outputs) * taps, 0);
    return c;
}

std::int32_t clampIndex(std::int64_t v, int m) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, m - 1)); }

Contributions bilinear(const ScaleAxis& a) {
    const int m = a.sourceLength;
    Contributions c = sized(a.destLength, 2, 7);
    for (int i = 0; i < a.destLength; ++i) {
        const Split s = splitPosition(a, i, kOne7);
        std::int32_t index = 0;
        int w = kOne7;
        if (m >= 2 && s.index >= m - 1) {
            index = m - 2;
            w = 0;  // the last pair with all weight on its second pixel
        } else if (m >= 2 && s.index >= 0) {
            index = static_cast<std::int32_t>(s.index);
            w = kOne7 - s.fraction;
        }
        c.first[i] = index;
        c.weights[2 * i] = static_cast<std::int16_t>(w);
        c.weights[2 * i + 1] = static_cast<std::int16_t>(kOne7 - w);
    }
    return c;
}

Contributions cubic(const ScaleAxis& a) {
    Contributions c = sized(a.destLength, 4, 12);
    for (int i = 0; i < a.destLength; ++i) {
        Split s{0, 0};
        if (a.rectStart || a.sourceLength >= 2) s = splitPosition(a, i, kOne12);
        c.first[i] = static_cast<std::int32_t>(std::clamp<std::int64_t>(s.index - 1, INT32_MIN / 2, INT32_MAX / 2));
        for (int k = 0; k < 4; ++k)
            c.weights[4 * i + k] = static_cast<std::int16_t>(cubicWeight((k - 1) * kOne12 - s.fraction));
    }
    return c;
}

Contributions nearest(const ScaleAxis& a) {
    const int m = a.sourceLength;
    Contributions c = sized(a.destLength, 1, 0);
    for (int i = 0; i < a.destLength; ++i) {
        if (!a.rectStart) {
            c.first[i] = static_cast<std::int32_t>(std::int64_t{i} * m / a.destLength);
        } else {
            const double step = a.destLength < 2 ? 0 : (a.rectEnd - *a.rectStart) / a.destLength;
            c.first[i] = clampIndex(static_cast<std::int64_t>(std::floor(i * step + *a.rectStart)), m);
        }
        c.weights[i] = 1;
    }
    return c;
}

Contributions filtered(const Filter& filter, const ScaleAxis& a) {
    const double span = spanOf(a);
    const double scale = a.destLength / span;
    if (!(scale <= 1)) return {};  // enlarging (or an empty span): no lists, the pass emits nothing
    const double width = filter.support / scale;
    const double left = a.rectStart.value_or(0.0);

    struct List {
        std::int64_t first;
        std::vector<double> weights;
    };
    std::vector<List> lists(static_cast<std::size_t>(a.destLength));
    std::size_t widest = 0;
    for (int i = 0; i < a.destLength; ++i) {
        const double centre = i / scale + left;
        const auto first = static_cast<std::int64_t>(std::ceil(centre - width));
        const auto last = static_cast<std::int64_t>(std::floor(centre + width));
        List& list = lists[i];
        list.first = first;
        double sum = 0;
        for (std::int64_t j = first; j <= last; ++j) {
            const double w = filter.shape((centre - static_cast<double>(j)) * scale) * scale;
            list.weights.push_back(w);
            sum += w;
        }
        if (sum != 0)
            for (double& w : list.weights) w /= sum;
        widest = std::max(widest, list.weights.size());
    }

    const int taps = static_cast<int>((widest + 1) & ~std::size_t{1});
    Contributions c = sized(a.destLength, taps, 12);
    for (int i = 0; i < a.destLength; ++i) {
        c.first[i] = static_cast<std::int32_t>(std::clamp<std::int64_t>(lists[i].first, INT32_MIN / 2, INT32_MAX / 2));
        quantiseWeights(lists[i].weights, std::span<std::int16_t>(c.weights.data() + std::size_t(i) * taps, taps));
    }
    return c;
}

}  // namespace

int cubicWeight(int offset) {
    // (1/6) * [(x+2)^3+ - 4(x+1)^3+ + 6x^3+ - 4(x-1)^3+] with x = offset/4096,
    // in exact integers: the numerator is in units of 4096^3.
    const auto cubePlus = [](std::int64_t u) { return u > 0 ? u * u * u : 0; };
    const std::int64_t x = offset;
    const std::int64_t numerator =
        cubePlus(x + 2 * kOne12) - 4 * cubePlus(x + kOne12) + 6 * cubePlus(x) - 4 * cubePlus(x - kOne12);
    const std::int64_t denominator = std::int64_t{6} * kOne12 * kOne12;
    return static_cast<int>(numerator / denominator);  // never negative for |x| <= 2
}

void quantiseWeights(std::span<const double> weights, std::span<std::int16_t> out) {
    std::fill(out.begin(), out.end(), std::int16_t{0});
    int sum = 0;
    for (std::size_t k = 0; k < weights.size() && k < out.size(); ++k) {
        out[k] = static_cast<std::int16_t>(weights[k] * kOne12);  // truncated toward zero
        sum += out[k];
    }
    // A short sum would darken the picture: give the missing units to the first taps.
    const std::size_t missing = sum < kOne12 ? static_cast<std::size_t>(kOne12 - sum) : 0;
    for (std::size_t k = 0; k < std::min(missing, out.size()); ++k) ++out[k];
}

std::optional<Contributions> buildContributions(int method, const ScaleAxis& axis) {
    if (method < 0 || method >= kScaleMethodCount) return std::nullopt;
    switch (method) {
    case kScaleBilinear: return bilinear(axis);
    case kScaleCubic:
        if (spanOf(axis) > axis.destLength) return filtered(kFilters[kScaleBell - kScaleHermite], axis);
        return cubic(axis);
    case kScaleNearest: return nearest(axis);
    default: return filtered(kFilters[method - kScaleHermite], axis);
    }
}

void foldIntoSource(Contributions& lists, int sourceLength) {
    const int taps = lists.taps;
    std::vector<std::int32_t> folded(static_cast<std::size_t>(taps));
    for (std::size_t i = 0; i < lists.first.size(); ++i) {
        std::int16_t* w = lists.weights.data() + i * taps;
        const std::int64_t first = lists.first[i];
        // Each tap moves to the nearest source pixel; the window starts at
        // the first of those.
        const std::int64_t start = std::clamp<std::int64_t>(first, 0, sourceLength - 1);
        std::fill(folded.begin(), folded.end(), 0);
        for (int k = 0; k < taps; ++k) {
            const std::int64_t at = std::clamp<std::int64_t>(first + k, 0, sourceLength - 1);
            folded[static_cast<std::size_t>(at - start)] += w[k];
        }
        for (int k = 0; k < taps; ++k) w[k] = static_cast<std::int16_t>(folded[k]);
        lists.first[i] = static_cast<std::int32_t>(start);
    }
}

}  // namespace lv
