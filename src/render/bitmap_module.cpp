#include "render/bitmap_module.h"

#include "render/bitmap.h"
#include "render/bitmap_object.h"
#include "render/device_rows.h"
#include "render/image_statements.h"
#include "script/script_module.h"

namespace lv {

bool startBitmapModule() {
    if (objectRegistry().registerType(bitmapType()) != 0) return false;
    installImageStatements(scriptEngine());
    if (const auto padded = probeDeviceRowsPadded()) setDeviceRowsPadded(*padded);
    return true;
}

// Bitmaps belong to their owners; the object registry's shutdown releases
// those that bitmap objects hold.
void stopBitmapModule() { objectRegistry().unregisterType(bitmapType()); }

}  // namespace lv
