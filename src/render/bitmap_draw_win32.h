// Drawing a Bitmap into a window (Win32 only).
#pragma once

#include <windows.h>

#include "render/bitmap.h"

namespace lv {

// Paints the whole Bitmap stretched into `destination`, given in client
// coordinates of the device context's window, clipped to its client area.
// A device context without a window draws nothing.
void drawBitmap(const Bitmap& bitmap, HDC dc, const RECT& destination);

}  // namespace lv
