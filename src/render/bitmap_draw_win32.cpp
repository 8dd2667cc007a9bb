#include "render/bitmap_draw_win32.h"

#include <algorithm>
#include <cmath>

#include "render/bitmap_draw.h"

namespace lv {

namespace {

int roundToInt(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

void drawBitmap(const Bitmap& bitmap, HDC dc, const RECT& destination) {
    HWND window = WindowFromDC(dc);
    if (!window) return;
    RECT client;
    GetClientRect(window, &client);

    const IntRect dest{destination.left, destination.top, destination.right, destination.bottom};
    const DrawPlan plan = planDraw(bitmap.width, bitmap.height, dest,
                                   IntRect{client.left, client.top, client.right, client.bottom});
    if (plan.empty) return;
    if (plan.colourOnColour) SetStretchBltMode(dc, COLORONCOLOR);

    // Portable path: the rows in device layout, stretched by the device. The
    // colour table holds RGB entries, so the colours are DIB_RGB_COLORS.
    const DeviceIndependentBitmap dib = makeDeviceIndependentBitmap(bitmap);
    const int sourceLeft = roundToInt(plan.sourceLeft);
    const int sourceTop = roundToInt(plan.sourceTop);
    const int sourceWidth = std::max(1, roundToInt(plan.sourceLeft + plan.sourceWidth) - sourceLeft);
    const int sourceHeight = std::max(1, roundToInt(plan.sourceTop + plan.sourceHeight) - sourceTop);
    // A bottom-up DIB measures the source's y from its bottom row.
    const int sourceBottom = bitmap.height - (sourceTop + sourceHeight);
    StretchDIBits(dc, plan.destination.left, plan.destination.top, plan.destination.width(),
                  plan.destination.height(), sourceLeft, sourceBottom, sourceWidth, sourceHeight,
                  dib.bits.data(), reinterpret_cast<const BITMAPINFO*>(dib.info.data()), DIB_RGB_COLORS,
                  SRCCOPY);
}

}  // namespace lv
