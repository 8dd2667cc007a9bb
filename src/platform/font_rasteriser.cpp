#include "platform/font_rasteriser.h"

#include <algorithm>

namespace lv {

OneBitImage oneBitImageFor(int measuredWidth, int measuredHeight, bool fourFold) {
    OneBitImage image;
    const int w = std::max(measuredWidth, 0), h = std::max(measuredHeight, 0);
    image.width = fourFold ? (w + 15) / 16 * 16 : w;
    image.height = fourFold ? (h + 3) / 4 * 4 : h;
    image.rowBytes = (image.width + 15) / 16 * 2;
    image.bits.assign(static_cast<std::size_t>(image.rowBytes) * image.height, 0);
    return image;
}

}  // namespace lv
