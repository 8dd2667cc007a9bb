#include "transition/formatted_rows.h"

namespace lv {

void FormattedRows::clear() {
    surface_ = nullptr;
    code_ = pixel_code::kUnsupported;
    rowBytes_ = 0;
    bytes_ = {};
    ready_ = {};
}

void FormattedRows::start(const Surface& surface, const PixelFormat& format) {
    clear();
    surface_ = &surface;
    code_ = format.code;
    rowBytes_ = static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(format.bytesPerPixel);
    bytes_.resize(rowBytes_ * static_cast<std::size_t>(surface.height));
    ready_.assign(static_cast<std::size_t>(surface.height), 0);
}

void FormattedRows::prepare(const Surface& surface, const PixelFormat& format) {
    for (std::int32_t y = 0; y < surface.height; ++y) {
        if (row(surface, format, y) == nullptr) return;
    }
}

const std::uint8_t* FormattedRows::row(const Surface& surface, const PixelFormat& format, std::int32_t y) {
    // The 16-bit formats vary with their masks, so one code does not tell them apart.
    if (!format.supported() || format.code == pixel_code::kHigh16) return nullptr;
    if (surface_ != &surface || code_ != format.code) start(surface, format);
    if (y < 0 || y >= surface.height) return nullptr;
    std::uint8_t* out = bytes_.data() + rowBytes_ * static_cast<std::size_t>(y);
    if (ready_[static_cast<std::size_t>(y)] == 0) {
        storePixels(format, surface.row(y), surface.width, out);
        ready_[static_cast<std::size_t>(y)] = 1;
    }
    return out;
}

const std::uint8_t* FormattedRows::rows(const Surface& surface, const PixelFormat& format, std::int32_t top,
                                        std::int32_t count) {
    if (!format.supported() || format.code == pixel_code::kHigh16) return nullptr;
    if (surface_ != &surface || code_ != format.code) start(surface, format);
    if (top < 0 || count < 0 || count > surface.height - top) return nullptr;
    for (std::int32_t y = top; y < top + count; ++y) {
        if (ready_[static_cast<std::size_t>(y)] != 0) continue;
        storePixels(format, surface.row(y), surface.width, bytes_.data() + rowBytes_ * static_cast<std::size_t>(y));
        ready_[static_cast<std::size_t>(y)] = 1;
    }
    return bytes_.data() + rowBytes_ * static_cast<std::size_t>(top);
}

}  // namespace lv
