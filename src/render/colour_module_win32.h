// The program-wide logical palette (Windows).
#pragma once

#include <windows.h>

namespace lv {

// The display palette as a logical palette; null before start-up or if the
// system refused to create it.
HPALETTE displayPaletteHandle();

}  // namespace lv
