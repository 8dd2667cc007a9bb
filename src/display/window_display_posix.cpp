// Without a window system there is no window display; the memory display
// (back_buffer_display.h) serves the tests and the tool.
#include "display/window_display.h"

namespace lv {

std::unique_ptr<WindowDisplay> createWindowDisplay(void*, bool) { return nullptr; }

std::uint64_t windowFramesPresented() { return 0; }

}  // namespace lv
