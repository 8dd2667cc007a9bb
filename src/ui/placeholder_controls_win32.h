// The viewer ("vwr") and thumbnail area ("thm") classes as plain painted
// windows: they take geometry and visibility like every control and fill
// themselves with black, until their own behaviour is built.
#pragma once

#include <windows.h>

#include <memory>

#include "script/objects.h"

namespace lv {

std::unique_ptr<ObjectInstance> createViewer(HWND parent);
std::unique_ptr<ObjectInstance> createThumbArea(HWND parent);

bool startViewerClass();
void stopViewerClass();
bool startThumbAreaClass();
void stopThumbAreaClass();

}  // namespace lv
