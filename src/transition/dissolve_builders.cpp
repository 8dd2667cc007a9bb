// The dissolve and the squares: pixels (or tiles) in the order of a Galois
// shift register that visits every non-zero value of its width once. Value
// v names column v mod 2^bw and row v / 2^bw; values outside are skipped.
#include <algorithm>
#include <array>
#include <cmath>

#include "transition/span_builders.h"

namespace lv::spans {

namespace {

// Maximal-length feedback constants by register width (2 to 32 bits: wide
// enough for any picture side the surfaces allow, 16 + 16 bits).
constexpr std::array<std::uint32_t, 33> kTaps = {
    0,          0,          0x3,        0x6,        0xC,        0x14,       0x30,       0x60,      0xB8,
    0x110,      0x240,      0x500,      0x829,      0x100D,     0x2015,     0x6000,     0xD008,    0x12000,
    0x20400,    0x40023,    0x90000,    0x140000,   0x300000,   0x420000,   0xE10000,   0x1200000, 0x2000023,
    0x4000013,  0x9000000,  0x14000000, 0x20000029, 0x48000000, 0x80200003u};

// Calls visit(x, y) for every cell of a cols x rows grid except (0, 0), in
// the register's order.
template <typename Visit>
void registerOrder(std::int32_t cols, std::int32_t rows, Visit visit) {
    const std::int32_t bw = bitsFor(cols), bh = bitsFor(rows);
    const std::uint32_t taps = dissolveTaps(bw + bh);
    const std::uint32_t columnMask = (std::uint32_t{1} << bw) - 1;
    std::uint32_t v = 1;
    do {
        const std::uint32_t x = v & columnMask, y = v >> bw;
        if (x < static_cast<std::uint32_t>(cols) && y < static_cast<std::uint32_t>(rows)) {
            visit(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
        }
        const bool out = (v & 1) != 0;
        v >>= 1;
        if (out) v ^= taps;
    } while (v != 1);
}

}  // namespace

std::uint32_t dissolveTaps(std::int32_t width) {
    return kTaps[static_cast<std::size_t>(std::clamp(width, 2, 32))];
}

int dissolve(SpanBuild& b) {
    const std::int64_t total = std::int64_t{b.width} * b.height;
    const std::int64_t per = total / 256;
    std::vector<std::vector<Spot>> dealt(256);
    std::int64_t i = 0;
    const auto deal = [&](std::int32_t x, std::int32_t y) {
        const std::int64_t set = per == 0 ? 255 : std::min<std::int64_t>(i / per, 255);
        dealt[static_cast<std::size_t>(set)].push_back(Spot{x, y});
        ++i;
    };
    registerOrder(b.width, b.height, deal);
    deal(0, 0);  // the register never names 0
    for (std::vector<Spot>& spots : dealt) b.sets.push_back(setOfSpots(b.source, std::move(spots)));
    return 0;
}

int squares(SpanBuild& b) {
    const double aspect = b.settings.pixelAspect > 0 ? b.settings.pixelAspect : 1.0;
    std::int32_t t = std::max(b.clientWidth, b.clientHeight) / 64;
    if (t < 2) t = 2;
    // Never 0 rows tall, whatever the aspect.
    const std::int32_t tall = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(t * aspect)));
    const std::int32_t cols = (b.width + t - 1) / t, rows = (b.height + tall - 1) / tall;
    const auto tile = [&](std::int32_t c, std::int32_t r) {
        b.sets.push_back(rectangleSet(b.source, Rect{c * t, r * tall, t, tall}, false));
    };
    tile(0, 0);
    registerOrder(cols, rows, tile);
    return 0;
}

}  // namespace lv::spans
