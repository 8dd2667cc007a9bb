// The mask-image transitions: 256 pixel sets, set v holding the pixels whose
// mask value is v, so the picture changes in grey order, darkest first.
#include "transition/mask_picture.h"
#include "transition/span_builders.h"

namespace lv::spans {

std::vector<PixelSet> setsByGreyValue(const SetSource& source, const std::vector<std::uint8_t>& grey, ClaimMap& claims) {
    const std::int32_t w = source.width(), h = source.height();
    std::vector<PixelSet> sets(256);
    if (grey.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return sets;
    std::vector<std::size_t> counts(256, 0);
    for (std::uint8_t v : grey) ++counts[v];
    for (std::size_t v = 0; v < 256; ++v) {
        sets[v].rowCounts.assign(static_cast<std::size_t>(h), 0);
        sets[v].pixels.reserve(counts[v]);
    }
    const std::uint8_t* value = grey.data();
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x, ++value) {
            if (!claims.claim(x, y)) continue;
            // Only recorded pixels count in the row counts.
            PixelSet& set = sets[*value];
            set.pixels.push_back(PixelRecord{0, 0, static_cast<std::uint16_t>(x)});
            ++set.rowCounts[static_cast<std::size_t>(y)];
        }
    }
    return sets;
}

int maskPicture(SpanBuild& b) {
    std::vector<std::uint8_t> grey;
    const SpanFamily& family = *b.family;
    if (loadMaskPicture(family.mask, b.settings.maskFolder, family.rotation, b.width, b.height, grey) != 0) return 2;
    b.sets = setsByGreyValue(b.source, grey, b.claims);
    b.info.steps = 256;
    b.info.familyFlag4 = 1;
    return 0;
}

}  // namespace lv::spans
