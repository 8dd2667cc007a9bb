// The scaler's weight rules: for one axis and one method, which source
// pixels each output pixel combines and with what integer weights.
//
// Bilinear uses 7-bit weights (sum 128), every other method 12-bit weights
// (sum 4096); nearest uses one tap of weight 1. A channel value is
// (sum of weight * pixel) >> shift, clamped to 0..255. Every output has the
// same number of taps; the lists of the filtered methods are padded with zero
// taps to an even length.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lv {

// The creation index of each pass; only the index appears in interfaces.
enum ScaleMethod : int {
    kScaleBilinear = 0,
    kScaleCubic = 1,
    kScaleNearest = 2,
    kScaleHermite = 3,
    kScaleBox = 4,
    kScaleTriangle = 5,
    kScaleBell = 6,
    kScaleBSpline = 7,
    kScaleLanczos3 = 8,
    kScaleMitchell = 9,
};
inline constexpr int kScaleMethodCount = 10;

// One axis of a job: source length, destination length and, with a source
// rectangle, its start and end on this axis in source pixel units.
struct ScaleAxis {
    int sourceLength = 0;
    int destLength = 0;
    std::optional<double> rectStart;
    double rectEnd = 0;
};

struct Contributions {
    int taps = 0;                   // taps per output
    int shift = 0;                  // 7 for bilinear, 0 for nearest, else 12
    std::vector<std::int32_t> first;   // per output: source index of tap 0 (may lie outside the source)
    std::vector<std::int16_t> weights;  // per output, `taps` weights
    bool empty() const { return first.empty(); }
    const std::int16_t* weightsOf(int output) const { return weights.data() + static_cast<std::size_t>(output) * taps; }
};

// The lists of a method on an axis. A filtered method asked to enlarge gives
// empty lists: the pass emits nothing. The cubic method hands a reduction to
// the Bell filter. Null when the method index is outside 0..9.
std::optional<Contributions> buildContributions(int method, const ScaleAxis& axis);

// Folds taps that fall outside the source into the edge pixels, one tap at a
// time and keeping the sum, and moves each window inside the source: tap 0 of
// every output then lies within 0..sourceLength - 1 and the taps past the
// last source pixel carry weight 0.
void foldIntoSource(Contributions& lists, int sourceLength);

// Real weights (already normalised) to 12-bit integers: each truncated, the
// list padded with zeros to out.size(), and when the integer sum falls short
// of 4096, 1 added to each of the first (4096 - sum) taps.
void quantiseWeights(std::span<const double> weights, std::span<std::int16_t> out);

// The cubic B-spline times 4096, rounded down, at x = offset / 4096.
int cubicWeight(int offset);

}  // namespace lv
