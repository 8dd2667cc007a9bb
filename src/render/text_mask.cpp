#include "render/text_mask.h"

#include <bit>

namespace lv {

const std::array<std::uint8_t, 256>& coverageTable() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        for (unsigned v = 0; v < 256; ++v) t[v] = static_cast<std::uint8_t>(std::popcount(v) * 126 / 8);
        return t;
    }();
    return table;
}

namespace {

BitmapPtr plainMask(const OneBitImage& image) {
    BitmapPtr mask = createBitmap("text", image.width, image.height, 8);
    if (!mask) return nullptr;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) mask->rows[y][x] = image.bit(x, y) ? 255 : 0;
    return mask;
}

// Each byte column of four image rows gives two output pixels: the high
// nibbles make the left one, the low nibbles the right one. Two lookups per
// pixel, each over two rows' nibbles joined into one byte.
BitmapPtr fourFoldMask(const OneBitImage& image) {
    BitmapPtr mask = createBitmap("text", image.width / 4, image.height / 4, 8);
    if (!mask) return nullptr;
    const auto& coverage = coverageTable();
    for (int r = 0; r < mask->height; ++r) {
        const std::uint8_t* rows[4];
        for (int i = 0; i < 4; ++i) rows[i] = image.bits.data() + static_cast<std::size_t>(4 * r + i) * image.rowBytes;
        std::uint8_t* out = mask->rows[r];
        for (int c = 0; c < image.width / 8; ++c) {
            const unsigned upperHigh = (rows[0][c] & 0xF0) | (rows[1][c] >> 4);
            const unsigned lowerHigh = (rows[2][c] & 0xF0) | (rows[3][c] >> 4);
            const unsigned upperLow = (rows[0][c] << 4 & 0xF0) | (rows[1][c] & 0x0F);
            const unsigned lowerLow = (rows[2][c] << 4 & 0xF0) | (rows[3][c] & 0x0F);
            out[2 * c] = static_cast<std::uint8_t>(coverage[lowerHigh] + coverage[upperHigh]);
            out[2 * c + 1] = static_cast<std::uint8_t>(coverage[lowerLow] + coverage[upperLow]);
        }
    }
    return mask;
}

}  // namespace

BitmapPtr maskFromOneBitImage(const OneBitImage& image, bool fourFold) {
    return fourFold ? fourFoldMask(image) : plainMask(image);
}

BitmapPtr renderTextMask(const FontDescription& font, std::string_view text, bool fourFold,
                         FontRasteriser& rasteriser) {
    FontDescription scaled = font;
    if (fourFold) {
        scaled.height *= 4;
        scaled.width *= 4;
    }
    const std::optional<OneBitImage> image = rasteriser.rasterise(scaled, text, fourFold);
    if (!image) return nullptr;
    return maskFromOneBitImage(*image, fourFold);
}

}  // namespace lv
