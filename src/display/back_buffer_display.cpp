#include "display/back_buffer_display.h"

#include <cstring>

namespace lv {

namespace {
constexpr std::int64_t kMaxBufferBytes = std::int64_t{1} << 30;
}

BackBufferDisplay::BackBufferDisplay(std::int32_t clientWidth, std::int32_t clientHeight, Clock* pacing)
    : pacing_(pacing) {
    DisplayOutput output;
    output.format = PixelFormat::fromMasks(24, 0xFF0000, 0xFF00, 0xFF);
    output.bitsPerPixel = 24;
    output.refreshHz = 30;
    output.monitor = Rect{0, 0, clientWidth, clientHeight};
    outputs_.push_back(output);
    allocate(clientWidth, clientHeight);
}

void BackBufferDisplay::allocate(std::int32_t width, std::int32_t height) {
    const std::int32_t row = paddedRowBytes(width, 3);
    const bool fits = width > 0 && height > 0 && width <= 65535 && height <= 65535 && row > 0 &&
                      std::int64_t{row} * height <= kMaxBufferBytes;
    bufferWidth_ = fits ? width : 0;
    bufferHeight_ = fits ? height : 0;
    rowBytes_ = fits ? row : 0;
    buffer_.assign(fits ? static_cast<std::size_t>(row) * static_cast<std::size_t>(height) : 0, 0);
    clientWidth_ = pendingWidth_ = width;
    clientHeight_ = pendingHeight_ = height;
    view_ = Rect{0, 0, width, height};
}

void BackBufferDisplay::resize(std::int32_t clientWidth, std::int32_t clientHeight) {
    pendingWidth_ = clientWidth;
    pendingHeight_ = clientHeight;
}

int BackBufferDisplay::check() {
    if (pendingWidth_ != clientWidth_ || pendingHeight_ != clientHeight_) allocate(pendingWidth_, pendingHeight_);
    return 0;
}

const std::uint8_t* BackBufferDisplay::bufferRow(std::int32_t y) const {
    return buffer_.data() + static_cast<std::size_t>(bufferHeight_ - 1 - y) * static_cast<std::size_t>(rowBytes_);
}
std::uint8_t* BackBufferDisplay::writableRow(std::int32_t y) {
    return buffer_.data() + static_cast<std::size_t>(bufferHeight_ - 1 - y) * static_cast<std::size_t>(rowBytes_);
}

bool BackBufferDisplay::lock(std::vector<LockedOutput>& outputs) {
    outputs.clear();
    const Rect area = intersect(view_, Rect{0, 0, bufferWidth_, bufferHeight_});
    if (area.empty() || locked_) return false;
    LockedOutput out;
    out.area = area;
    out.first = writableRow(area.top) + static_cast<std::size_t>(area.left) * 3;
    out.pitch = -rowBytes_;
    out.format = &outputs_.front().format;
    outputs.push_back(out);
    locked_ = true;
    return true;
}

void BackBufferDisplay::unlockAndPresent() {
    locked_ = false;
    ++presented_;
    presentBuffer();
    if (onPresent) onPresent(*this);
}

void BackBufferDisplay::waitForFrame() {
    if (pacing_ == nullptr) return;
    if (paced_) {
        while (elapsedMs(lastFrameMs_, pacing_->milliseconds()) < static_cast<std::int32_t>(kFramePeriodMs)) {
        }
    }
    lastFrameMs_ = pacing_->milliseconds();
    paced_ = true;
}

int BackBufferDisplay::blit(const OffscreenSurface& surface, const Rect& source, const Rect& destination) {
    if (source.width != destination.width || source.height != destination.height) return 1;
    if (surface.format().bytesPerPixel != 3) return 2;
    const Rect inSource = intersect(source, Rect{0, 0, surface.width(), surface.height()});
    // The destination part that both the surface and the buffer cover.
    Rect shifted{inSource.left - source.left + destination.left, inSource.top - source.top + destination.top,
                 inSource.width, inSource.height};
    const Rect target = intersect(shifted, Rect{0, 0, bufferWidth_, bufferHeight_});
    for (std::int32_t y = target.top; y < target.bottom(); ++y) {
        const std::int32_t sx = target.left - destination.left + source.left;
        const std::int32_t sy = y - destination.top + source.top;
        std::memcpy(writableRow(y) + static_cast<std::size_t>(target.left) * 3,
                    surface.row(sy) + static_cast<std::size_t>(sx) * 3, static_cast<std::size_t>(target.width) * 3);
    }
    return 0;
}

int BackBufferDisplay::fillBlack(const Rect& rect) {
    const Rect target = intersect(rect, Rect{0, 0, bufferWidth_, bufferHeight_});
    for (std::int32_t y = target.top; y < target.bottom(); ++y) {
        std::memset(writableRow(y) + static_cast<std::size_t>(target.left) * 3, 0, static_cast<std::size_t>(target.width) * 3);
    }
    return 0;
}

std::vector<std::uint32_t> BackBufferDisplay::snapshot() const {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bufferWidth_) * static_cast<std::size_t>(bufferHeight_));
    for (std::int32_t y = 0; y < bufferHeight_; ++y) {
        loadPixels(outputs_.front().format, bufferRow(y), bufferWidth_, pixels.data() + static_cast<std::size_t>(y) * bufferWidth_);
    }
    return pixels;
}

}  // namespace lv
