// Process-wide start-up state, set once at start-up and read by every part.
#pragma once

#include <cstdint>

#include "shell/command_line.h"

namespace lv {

const StartupArgs& startupArgs();
void setStartupArgs(StartupArgs args);

// The viewer's start-up replaces the system's preview window by the child
// window it creates inside it.
void setScreenSaverPreviewWnd(std::intptr_t window);

}  // namespace lv
