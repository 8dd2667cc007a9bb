// Start-up and shutdown of the colour tables: the display palette, its
// inverse colour map and, on Windows, the program-wide logical palette that
// every control selects while it paints.
#pragma once

namespace lv {

bool startColourModule();
void stopColourModule();

}  // namespace lv
