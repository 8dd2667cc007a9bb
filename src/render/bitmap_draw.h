// The portable half of drawing a Bitmap into a window: the device-independent
// bitmap that the platform stretches onto the screen, and the part of the
// Bitmap that a clipped destination shows.
#pragma once

#include <cstdint>
#include <vector>

#include "render/bitmap.h"

namespace lv {

struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const IntRect&) const = default;
};

// A device-independent bitmap: the 40-byte header (with 256 blue-green-red-0
// colour entries after it for 8-bit Bitmaps) and the pixel rows bottom-up,
// each filled out to a multiple of 4 bytes.
struct DeviceIndependentBitmap {
    static constexpr int kHeaderSize = 40;
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
    int rowBytes = 0;
};

DeviceIndependentBitmap makeDeviceIndependentBitmap(const Bitmap& bitmap);

// What one draw of a whole Bitmap stretched into `destination` paints once the
// destination is clipped to the window's client area.
struct DrawPlan {
    IntRect destination;   // clipped, client coordinates
    double sourceLeft = 0, sourceTop = 0, sourceWidth = 0, sourceHeight = 0;  // Bitmap pixels, top-down
    bool colourOnColour = false;  // shrinking: drop pixels instead of blending them
    bool empty = true;
};

DrawPlan planDraw(int bitmapWidth, int bitmapHeight, const IntRect& destination, const IntRect& client);

}  // namespace lv
