// Start-up and shutdown of the Bitmap module.
#pragma once

namespace lv {

// Registers the script object type "bitmap" (false when that fails), then
// reads the platform's device-bitmap row alignment.
bool startBitmapModule();
void stopBitmapModule();

}  // namespace lv
