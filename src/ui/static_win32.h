// The static control class ("sta"): an area filled with a colour or tiled
// with a picture, for backgrounds and panels.
#pragma once

#include <windows.h>

#include <memory>

#include "script/objects.h"

namespace lv {

std::unique_ptr<ObjectInstance> createStatic(HWND parent);

bool startStaticClass();
void stopStaticClass();

}  // namespace lv
