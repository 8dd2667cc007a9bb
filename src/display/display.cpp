#include "display/display.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lv {

Rect intersect(const Rect& a, const Rect& b) {
    const std::int64_t left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{a.left} + a.width, std::int64_t{b.left} + b.width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{a.top} + a.height, std::int64_t{b.top} + b.height);
    if (right <= left || bottom <= top) return Rect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), 0, 0};
    return Rect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right - left),
                static_cast<std::int32_t>(bottom - top)};
}

std::int32_t paddedRowBytes(std::int32_t width, int bytesPerPixel) {
    const std::int64_t bytes = (std::int64_t{width} * bytesPerPixel + 3) / 4 * 4;
    return bytes > std::numeric_limits<std::int32_t>::max() ? -1 : static_cast<std::int32_t>(bytes);
}

OffscreenSurface::OffscreenSurface(std::int32_t width, std::int32_t height, const PixelFormat& format)
    : width_(width), height_(height), pitch_(paddedRowBytes(width, format.bytesPerPixel)), format_(format),
      pixels_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0) {}

std::unique_ptr<OffscreenSurface> Display::createOffscreen(std::int32_t width, std::int32_t height) const {
    constexpr std::int64_t kMaxBytes = std::int64_t{1} << 30;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || outputs_.empty()) return nullptr;
    const PixelFormat& format = outputs_.front().format;
    const std::int32_t pitch = paddedRowBytes(width, format.bytesPerPixel);
    if (pitch < 0 || std::int64_t{pitch} * height > kMaxBytes) return nullptr;
    return std::make_unique<OffscreenSurface>(width, height, format);
}

bool showCentred(Display& display, const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                 std::int32_t stride) {
    const std::int32_t left = std::max(0, (display.clientWidth() - width) / 2);
    const std::int32_t top = std::max(0, (display.clientHeight() - height) / 2);
    const Rect picture{left, top, width, height};
    const Rect saved = display.view();
    display.setView(Rect{0, 0, display.clientWidth(), display.clientHeight()});
    std::vector<LockedOutput> locked;
    const bool ok = display.lock(locked);
    if (ok) {
        for (const LockedOutput& out : locked) {
            const Rect part = intersect(picture, out.area);
            for (std::int32_t y = part.top; y < part.bottom(); ++y) {
                const std::uint32_t* row = pixels + static_cast<std::size_t>(y - top) * stride + (part.left - left);
                storePixels(*out.format, row, part.width, out.at(part.left, y));
            }
        }
        display.unlockAndPresent();
    }
    constexpr std::int32_t kBeyond = 10000;
    const std::int32_t cw = display.clientWidth(), ch = display.clientHeight();
    display.fillBlack(Rect{-kBeyond, -kBeyond, cw + 2 * kBeyond, top + kBeyond});
    display.fillBlack(Rect{-kBeyond, top + height, cw + 2 * kBeyond, ch + kBeyond - top - height});
    display.fillBlack(Rect{-kBeyond, top, left + kBeyond, height});
    display.fillBlack(Rect{left + width, top, cw + kBeyond - left - width, height});
    display.setView(saved);
    return ok;
}

}  // namespace lv
