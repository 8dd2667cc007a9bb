#include "show/tint.h"

namespace lv {

std::array<std::array<std::uint8_t, 3>, 256> tintTable(std::uint32_t colour) {
    std::array<std::array<std::uint8_t, 3>, 256> table{};
    for (int g = 0; g < 256; ++g) {
        const int L = 7 * g;
        for (int k = 0; k < 3; ++k) {
            const int t = static_cast<int>((colour >> (8 * k)) & 0xFF);
            const int value = L < 892 ? t * L / 892 : (t * (1785 - L) + 255 * (L - 892)) / 893;
            table[static_cast<std::size_t>(g)][static_cast<std::size_t>(2 - k)] = static_cast<std::uint8_t>(value);
        }
    }
    return table;
}

void tintBitmap(Bitmap& bitmap, std::uint32_t colour) {
    if (bitmap.depth != 24) return;
    const auto table = tintTable(colour);
    for (int y = 0; y < bitmap.height; ++y) {
        std::uint8_t* p = bitmap.rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < bitmap.width; ++x, p += 3) {
            const auto& out = table[static_cast<std::size_t>((p[0] + 4 * p[1] + 2 * p[2]) / 7)];
            p[0] = out[0];
            p[1] = out[1];
            p[2] = out[2];
        }
    }
}

}  // namespace lv
