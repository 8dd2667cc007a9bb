#include "transition/frame_painter.h"

#include <cstring>

#include "transition/formatted_rows.h"

namespace lv {

FramePainter::FramePainter(Display& display) : display_(display) { locked_ = display_.lock(outputs_); }

FramePainter::~FramePainter() {
    if (locked_) display_.unlockAndPresent();
}

void FramePainter::copy(const Surface& surface, const Rect& destination, std::int32_t sourceX, std::int32_t sourceY) {
    copyRows(surface, destination, sourceX, sourceY, nullptr);
}

void FramePainter::copy(const Surface& surface, const Rect& destination, std::int32_t sourceX, std::int32_t sourceY,
                        FormattedRows& rows) {
    copyRows(surface, destination, sourceX, sourceY, &rows);
}

void FramePainter::copyRows(const Surface& surface, const Rect& destination, std::int32_t sourceX, std::int32_t sourceY,
                            FormattedRows* rows) {
    // The destination part whose source lies inside the surface.
    const Rect inSource = intersect(Rect{sourceX, sourceY, destination.width, destination.height},
                                    Rect{0, 0, surface.width, surface.height});
    const Rect wanted{destination.left + inSource.left - sourceX, destination.top + inSource.top - sourceY,
                      inSource.width, inSource.height};
    for (const LockedOutput& out : outputs_) {
        const Rect part = intersect(wanted, out.area);
        if (part.empty()) continue;
        const std::int32_t sx = part.left - destination.left + sourceX;
        const std::int32_t sy = part.top - destination.top + sourceY;
        const std::size_t bytesPerPixel = static_cast<std::size_t>(out.format->bytesPerPixel);
        const std::size_t bytes = static_cast<std::size_t>(part.width) * bytesPerPixel;
        std::uint8_t* target = out.at(part.left, part.top);
        const std::uint8_t* ready = rows != nullptr ? rows->rows(surface, *out.format, sy, part.height) : nullptr;
        if (ready != nullptr) {
            // Rows already in the output's format: a plain copy of each.
            ready += static_cast<std::size_t>(sx) * bytesPerPixel;
            const std::size_t readyPitch = rows->rowBytes();
            for (std::int32_t y = 0; y < part.height; ++y, ready += readyPitch, target += out.pitch)
                std::memcpy(target, ready, bytes);
            continue;
        }
        for (std::int32_t y = 0; y < part.height; ++y, target += out.pitch)
            storePixels(*out.format, surface.row(sy + y) + sx, part.width, target);
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
