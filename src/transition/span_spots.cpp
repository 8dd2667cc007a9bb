// Scattered-pixel sets for the span-mask builders.
#include <algorithm>

#include "transition/span_builders.h"

namespace lv::spans {

PixelSet setOfSpots(const SetSource& source, std::vector<Spot> spots) {
    PixelSet set;
    if (!source.valid()) return set;
    const std::int32_t w = source.width(), h = source.height();
    set.rowCounts.assign(static_cast<std::size_t>(h), 0);
    std::erase_if(spots, [&](const Spot& s) { return s.x < 0 || s.y < 0 || s.x >= w || s.y >= h; });
    std::sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    spots.erase(std::unique(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.x == b.x && a.y == b.y; }),
                spots.end());
    set.pixels.reserve(spots.size());
    for (const Spot& s : spots) {
        ++set.rowCounts[static_cast<std::size_t>(s.y)];
        set.pixels.push_back(PixelRecord{0, 0, static_cast<std::uint16_t>(s.x)});
    }
    return set;
}

std::int32_t bitsFor(std::int32_t n) {
    std::int32_t bits = 1;
    while (bits < 31 && (std::int64_t{1} << bits) < n) ++bits;
    return bits;
}

}  // namespace lv::spans
