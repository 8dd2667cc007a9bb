// Start-up and shutdown of the Bitmap module.
#pragma once

namespace lv {

// Reads the platform's device-bitmap row alignment. Always succeeds.
bool startBitmapModule();
void stopBitmapModule();

}  // namespace lv
