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
    // Rows by counting (a row's spots then keep their order), columns by sorting each row.
    std::vector<std::uint32_t> start(static_cast<std::size_t>(h) + 1, 0);
    for (const Spot& s : spots) ++start[static_cast<std::size_t>(s.y) + 1];
    for (std::size_t y = 0; y < static_cast<std::size_t>(h); ++y) start[y + 1] += start[y];
    std::vector<std::uint16_t> columns(spots.size());
    {
        std::vector<std::uint32_t> at(start.begin(), start.end() - 1);
        for (const Spot& s : spots) columns[at[static_cast<std::size_t>(s.y)]++] = static_cast<std::uint16_t>(s.x);
    }
    set.pixels.reserve(spots.size());
    for (std::size_t y = 0; y < static_cast<std::size_t>(h); ++y) {
        const auto first = columns.begin() + start[y], last = columns.begin() + start[y + 1];
        std::sort(first, last);
        const auto end = std::unique(first, last);
        std::uint32_t count = 0;
        for (auto x = first; x != end && count < 0xFFFF; ++x, ++count) set.pixels.push_back(PixelRecord{0, 0, *x});
        set.rowCounts[y] = static_cast<std::uint16_t>(count);
    }
    return set;
}

std::int32_t bitsFor(std::int32_t n) {
    std::int32_t bits = 1;
    while (bits < 31 && (std::int64_t{1} << bits) < n) ++bits;
    return bits;
}

}  // namespace lv::spans
