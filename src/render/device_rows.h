// Asks the platform how it lays out the rows of a 1 x 1 24-bit device bitmap:
// true for an even row length (rows padded), false for an odd one, nothing
// when the platform has no device bitmaps.
#pragma once

#include <optional>

namespace lv {

std::optional<bool> probeDeviceRowsPadded();

}  // namespace lv
