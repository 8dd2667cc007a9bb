// The mask-image transitions: 256 pixel sets, set v holding the pixels whose
// mask value is v, so the picture changes in grey order, darkest first.
#include "transition/mask_picture.h"
#include "transition/span_builders.h"

namespace lv::spans {

int maskPicture(SpanBuild& b) {
    std::vector<std::uint8_t> grey;
    const SpanFamily& family = *b.family;
    if (loadMaskPicture(family.mask, b.settings.maskFolder, family.rotation, b.width, b.height, grey) != 0) return 2;
    std::vector<std::size_t> counts(256, 0);
    for (std::uint8_t v : grey) ++counts[v];
    b.sets.assign(256, PixelSet{});
    for (std::size_t v = 0; v < 256; ++v) {
        b.sets[v].rowCounts.assign(static_cast<std::size_t>(b.height), 0);
        b.sets[v].pixels.reserve(counts[v]);
    }
    const std::uint8_t* value = grey.data();
    for (std::int32_t y = 0; y < b.height; ++y) {
        for (std::int32_t x = 0; x < b.width; ++x, ++value) {
            if (!b.claims.claim(x, y)) continue;
            // Only recorded pixels count in the row counts.
            PixelSet& set = b.sets[*value];
            set.pixels.push_back(PixelRecord{0, 0, static_cast<std::uint16_t>(x)});
            ++set.rowCounts[static_cast<std::size_t>(y)];
        }
    }
    b.info.steps = 256;
    b.info.familyFlag4 = 1;
    return 0;
}

}  // namespace lv::spans
