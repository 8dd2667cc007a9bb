// Fronts that move down one row per set: a ragged front whose columns jump
// ahead by random amounts, and a wave that also travels sideways.
#include <algorithm>
#include <array>
#include <cmath>

#include "transition/random_source.h"
#include "transition/span_builders.h"

namespace lv::spans {

int randomFront(SpanBuild& b) {
    const std::int32_t w = b.width, h = b.height;
    const std::int32_t d = std::max(3, std::max(b.clientWidth, b.clientHeight) / 25);
    CRandom random(1);
    std::array<std::int32_t, 256> offsets{};
    for (std::int32_t& offset : offsets) offset = random.next() % d - d;
    std::vector<std::int32_t> reached(static_cast<std::size_t>(w), 0);
    for (std::int32_t s = 0; s < h + 2 * d + 1; ++s) {
        std::vector<Spot> spots;
        for (std::int32_t x = 0; x < w; ++x) {
            const std::int32_t e = std::min(s + offsets[static_cast<std::size_t>(random.next() & 0xFF)], h - 1);
            std::int32_t& r = reached[static_cast<std::size_t>(x)];
            if (r >= e) continue;
            for (std::int32_t y = r; y <= e; ++y) spots.push_back(Spot{x, y});
            r = e;
        }
        b.sets.push_back(setOfSpots(b.source, std::move(spots)));
    }
    return 0;
}

int sineFront(SpanBuild& b) {
    const std::int32_t w = b.width, h = b.height;
    // At least 1, so a narrow window has a wave and no zero divisor.
    const std::int32_t a = std::max(1, b.clientWidth / 30);
    const float period = 5.0f * static_cast<float>(a) / 3.0f;
    std::vector<std::int32_t> front(static_cast<std::size_t>(w), 0);
    for (std::int32_t s = 0; s < h + 2 * a; ++s) {
        std::vector<Spot> spots;
        for (std::int32_t c = 0; c < w; ++c) {
            const double wave = std::floor(a * std::sin(static_cast<double>(s + c) / static_cast<double>(period)));
            const std::int32_t e = std::clamp(s + static_cast<std::int32_t>(wave) - a, 0, h - 1);
            std::int32_t& previous = front[static_cast<std::size_t>(c)];
            for (std::int32_t y = std::min(previous, e); y <= std::max(previous, e); ++y) {
                if (b.claims.claim(c, y)) spots.push_back(Spot{c, y});
            }
            previous = e;
        }
        b.sets.push_back(setOfSpots(b.source, std::move(spots)));
    }
    return 0;
}

}  // namespace lv::spans
