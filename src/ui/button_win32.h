// The button control class ("btn"): a picture button with normal, over and
// down looks that runs script labels on enter, leave and click.
#pragma once

#include <windows.h>

#include <memory>

#include "script/objects.h"

namespace lv {

// A new invisible button, child of the parent; null when it cannot be made.
std::unique_ptr<ObjectInstance> createButton(HWND parent);

// Start-up and shutdown steps of the class.
bool startButtonClass();
void stopButtonClass();

}  // namespace lv
