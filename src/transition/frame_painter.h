// Writing engine pixels into a locked display: every write is clipped to
// the locked area of each output and converted to the output's format.
//
//     FramePainter painter(display);
//     if (painter.locked()) painter.copy(surface, Rect{0, 0, 100, 20}, 40, 10);
//
// A painter that could not lock (the lock gave nothing) writes nothing;
// `locked()` tells, so the caller can plan a full repaint. Destruction
// unlocks and presents.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "transition/surface.h"

namespace lv {

class FramePainter {
public:
    explicit FramePainter(Display& display);
    ~FramePainter();
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    bool locked() const { return locked_; }
    const std::vector<LockedOutput>& outputs() const { return outputs_; }

    // Copies `destination` of the window from the surface's pixels at
    // (sourceX, sourceY) onwards; parts outside the surface are not written.
    void copy(const Surface& surface, const Rect& destination, std::int32_t sourceX, std::int32_t sourceY);
    void fillBlack(const Rect& destination);

private:
    Display& display_;
    std::vector<LockedOutput> outputs_;
    bool locked_ = false;
};

}  // namespace lv
