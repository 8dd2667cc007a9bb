#include "render/bitmap_draw.h"

#include <algorithm>
#include <cstring>

namespace lv {

namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

}  // namespace

DeviceIndependentBitmap makeDeviceIndependentBitmap(const Bitmap& bitmap) {
    DeviceIndependentBitmap dib;
    const std::size_t colours = bitmap.depth == 8 ? 256 : 0;
    dib.info.assign(DeviceIndependentBitmap::kHeaderSize + colours * 4, 0);
    // BITMAPINFOHEADER: size, width, height (positive: rows run bottom-up),
    // planes, bits per pixel; no compression, all other fields 0.
    put32(dib.info, 0, DeviceIndependentBitmap::kHeaderSize);
    put32(dib.info, 4, static_cast<std::uint32_t>(bitmap.width));
    put32(dib.info, 8, static_cast<std::uint32_t>(bitmap.height));
    put16(dib.info, 12, 1);
    put16(dib.info, 14, static_cast<std::uint32_t>(bitmap.depth));
    for (std::size_t i = 0; i < colours; ++i) {
        std::uint8_t* entry = dib.info.data() + DeviceIndependentBitmap::kHeaderSize + i * 4;
        entry[0] = bitmap.palette[i].blue;
        entry[1] = bitmap.palette[i].green;
        entry[2] = bitmap.palette[i].red;
    }

    dib.rowBytes = (bitmap.stride + 3) & ~3;
    dib.bits.assign(static_cast<std::size_t>(dib.rowBytes) * bitmap.height, 0);
    for (int y = 0; y < bitmap.height; ++y)
        std::memcpy(dib.bits.data() + static_cast<std::size_t>(bitmap.height - 1 - y) * dib.rowBytes,
                    bitmap.rows[y], bitmap.stride);
    return dib;
}

DrawPlan planDraw(int bitmapWidth, int bitmapHeight, const IntRect& destination, const IntRect& client) {
    DrawPlan plan;
    if (destination.empty() || bitmapWidth <= 0 || bitmapHeight <= 0) return plan;
    plan.colourOnColour = destination.width() < bitmapWidth || destination.height() < bitmapHeight;

    const IntRect clipped{std::max(destination.left, client.left), std::max(destination.top, client.top),
                          std::min(destination.right, client.right), std::min(destination.bottom, client.bottom)};
    if (clipped.empty()) return plan;

    // The clipped part keeps the scale factors of the whole rectangle.
    const double scaleX = static_cast<double>(bitmapWidth) / destination.width();
    const double scaleY = static_cast<double>(bitmapHeight) / destination.height();
    plan.destination = clipped;
    plan.sourceLeft = (clipped.left - destination.left) * scaleX;
    plan.sourceTop = (clipped.top - destination.top) * scaleY;
    plan.sourceWidth = clipped.width() * scaleX;
    plan.sourceHeight = clipped.height() * scaleY;
    plan.empty = false;
    return plan;
}

}  // namespace lv
