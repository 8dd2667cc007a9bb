#include "render/bitmap_module.h"

#include "render/bitmap.h"
#include "render/device_rows.h"

namespace lv {

bool startBitmapModule() {
    if (const auto padded = probeDeviceRowsPadded()) setDeviceRowsPadded(*padded);
    return true;
}

// Nothing to release: Bitmaps belong to their owners.
void stopBitmapModule() {}

}  // namespace lv
