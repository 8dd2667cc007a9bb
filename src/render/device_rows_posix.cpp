#include "render/device_rows.h"

namespace lv {

// No device bitmaps here: the flag keeps its initial value.
std::optional<bool> probeDeviceRowsPadded() { return std::nullopt; }

}  // namespace lv
