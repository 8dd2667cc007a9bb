// The display of a window: direct screen surfaces (DirectDraw, loaded at run
// time) where the platform offers them and they set up, else the portable
// back buffer copied to the window as a device-independent bitmap.
//
//     std::unique_ptr<Display> display = createWindowDisplay(hwnd, false);
//     // display->mode() tells which back end took the window
//
// `window` is the platform's window handle. With `forcePortable` the back
// buffer is used whatever the platform offers. Null where the platform has
// no windows (the portable build: use BackBufferDisplay directly).
#pragma once

#include <cstdint>
#include <memory>

#include "display/display.h"

namespace lv {

enum class DisplayMode { DirectSurface, BackBuffer };

class WindowDisplay : public Display {
public:
    virtual DisplayMode mode() const = 0;
    // Re-reads the client rectangle (the window was moved or resized).
    virtual void updateGeometry() = 0;
};

std::unique_ptr<WindowDisplay> createWindowDisplay(void* window, bool forcePortable);

// Frames presented (unlock-and-present calls from callers) by every window
// display of the process so far; for traces and benchmarks. Any thread.
std::uint64_t windowFramesPresented();

}  // namespace lv
