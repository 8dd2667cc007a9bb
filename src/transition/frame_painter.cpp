#include "transition/frame_painter.h"

#include <cstring>

namespace lv {

FramePainter::FramePainter(Display& display) : display_(display) { locked_ = display_.lock(outputs_); }

FramePainter::~FramePainter() {
    if (locked_) display_.unlockAndPresent();
}

void FramePainter::copy(const Surface& surface, const Rect& destination, std::int32_t sourceX, std::int32_t sourceY) {
    // The destination part whose source lies inside the surface.
    const Rect inSource = intersect(Rect{sourceX, sourceY, destination.width, destination.height},
                                    Rect{0, 0, surface.width, surface.height});
    const Rect wanted{destination.left + inSource.left - sourceX, destination.top + inSource.top - sourceY,
                      inSource.width, inSource.height};
    for (const LockedOutput& out : outputs_) {
        const Rect part = intersect(wanted, out.area);
        const std::int32_t sx = part.left - destination.left + sourceX;
        for (std::int32_t y = part.top; y < part.bottom(); ++y)
            storePixels(*out.format, surface.row(y - destination.top + sourceY) + sx, part.width, out.at(part.left, y));
    }
}

void FramePainter::fillBlack(const Rect& destination) {
    for (const LockedOutput& out : outputs_) {
        const Rect part = intersect(destination, out.area);
        const std::size_t bytes = static_cast<std::size_t>(part.width) * static_cast<std::size_t>(out.format->bytesPerPixel);
        for (std::int32_t y = part.top; y < part.bottom(); ++y) std::memset(out.at(part.left, y), 0, bytes);
    }
}

}  // namespace lv
