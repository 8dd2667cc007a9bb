#include "render/device_rows.h"

#include <windows.h>

namespace lv {

std::optional<bool> probeDeviceRowsPadded() {
    HBITMAP probe = CreateBitmap(1, 1, 1, 24, nullptr);
    if (!probe) return std::nullopt;
    BITMAP description{};
    const int got = GetObjectA(probe, sizeof description, &description);
    DeleteObject(probe);
    if (got == 0) return std::nullopt;
    return description.bmWidthBytes % 2 == 0;
}

}  // namespace lv
