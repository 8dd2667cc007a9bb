#include "render/depth_conversion.h"

#include <array>
#include <vector>

#include "render/display_palette.h"

namespace lv {

namespace {

// How an error e (-256..255, indexed by e + 256) is shared among the four
// neighbours. The shares are taken of e + 8; the rest makes them add up to e.
struct ErrorShares {
    std::array<std::int16_t, 512> seven, three, five, rest;
    ErrorShares() {
        for (int e = -256; e < 256; ++e) {
            const int i = e + 256;
            seven[i] = static_cast<std::int16_t>(7 * (e + 8) / 16);
            three[i] = static_cast<std::int16_t>(3 * (e + 8) / 16);
            five[i] = static_cast<std::int16_t>(5 * (e + 8) / 16);
            rest[i] = static_cast<std::int16_t>(e - seven[i] - three[i] - five[i]);
        }
    }
};

const ErrorShares& shares() {
    static const ErrorShares table;
    return table;
}

std::uint8_t clampComponent(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace

BitmapPtr convertTo8(const Bitmap& source) {
    if (source.depth != 24) return nullptr;
    BitmapPtr result = createBitmap(source.name, source.width, source.height, 8);
    if (!result) return nullptr;
    const Palette& palette = displayPalette();
    result->palette = palette;
    const InverseColourMap& map = inverseColourMap();
    const ErrorShares& s = shares();

    // Accumulators for blue, green and red of each column, with a spare
    // column at each end for the shares that fall off the row.
    const int width = source.width;
    std::vector<std::array<int, 3>> below(static_cast<std::size_t>(width) + 2, {0, 0, 0});

    for (int y = source.height - 1; y >= 0; --y) {
        const std::uint8_t* in = source.rows[y];
        std::uint8_t* out = result->rows[y];
        std::array<int, 3> carry{0, 0, 0};  // the first pixel starts afresh
        for (int x = 0; x < width; ++x, in += 3) {
            std::array<std::uint8_t, 3> bgr;
            for (int c = 0; c < 3; ++c) bgr[c] = clampComponent(in[c] + carry[c]);
            const std::uint8_t index = map[colourCell(bgr[2], bgr[1], bgr[0])];
            out[x] = index;
            const PaletteEntry& chosen = palette[index];
            const int error[3] = {bgr[0] - chosen.blue, bgr[1] - chosen.green, bgr[2] - chosen.red};
            for (int c = 0; c < 3; ++c) {
                const int e = error[c] + 256;
                // Take the old value of the column after before its slot is reused.
                carry[c] = s.seven[e] + below[x + 2][c];
                below[x + 2][c] = s.rest[e];
                below[x + 1][c] += s.five[e];
                below[x][c] += s.three[e];
            }
        }
    }
    return result;
}

BitmapPtr changeDepth(const Bitmap& source, int targetDepth) {
    if (source.depth == 24 && targetDepth == 8) return convertTo8(source);
    if (source.depth == 8 && targetDepth == 24) return expandTo24(source);
    return nullptr;
}

}  // namespace lv
