// The top-level window class ("wnd"): the frames the script's windows are.
// A window has a caption when the script gives it a title, else it is a
// bare pop-up; it may be resizable; maximised it fills the screen without
// a frame; as a screen saver it covers the virtual screen and stays on top.
// It runs its size label when its client size changes and its close label
// when it is destroyed, and forwards keys and the wheel.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "script/objects.h"

namespace lv {

std::unique_ptr<ObjectInstance> createTopWindow(HWND owner, const std::optional<std::string>& title, bool resizable);

bool startWindowClass();
void stopWindowClass();

}  // namespace lv
