// The display: a window-bound target that frames are drawn into at animation
// speed. It has outputs (one per monitor it covers, each with its pixel
// format and refresh rate), a view rectangle inside the window, and the
// operations lock, unlock-and-present, wait for the next frame, off-screen
// surfaces, blits and black fills.
//
//     std::vector<LockedOutput> locked;
//     if (display.lock(locked)) {
//         for (auto& out : locked) storePixels(*out.format, row, n, out.at(x, y));
//         display.unlockAndPresent();
//     }
//
// Coordinates are the window's client coordinates. A lock hands out, per
// output, only the part of the view that lies inside what may be written
// (`area`); every writer clips to it, so a picture larger than the window
// never writes outside the buffer. A lock that gives nothing returns false.
// Black is zero in every supported format.
//
// Back ends: the portable back buffer (back_buffer_display.h) and, on
// Windows, direct screen surfaces. Results of the device-level operations:
// 0 done, 1 not available (or a skipped blit), 2 failed or outside.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "display/pixel_format.h"

namespace lv {

struct Rect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;

    std::int32_t right() const { return left + width; }
    std::int32_t bottom() const { return top + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect&) const = default;
};
// The common part of two rectangles; empty (0 wide) when they do not meet.
Rect intersect(const Rect& a, const Rect& b);

struct DisplayOutput {
    Rect monitor;            // screen coordinates
    PixelFormat format;
    int bitsPerPixel = 24;
    int refreshHz = 75;      // 75 when the platform reports none
};

struct LockedOutput {
    Rect area;                       // client coordinates that may be written
    std::uint8_t* first = nullptr;   // the pixel at (area.left, area.top)
    std::int32_t pitch = 0;          // bytes from one row to the next (negative bottom-up)
    const PixelFormat* format = nullptr;

    std::uint8_t* at(std::int32_t x, std::int32_t y) const {
        return first + static_cast<std::ptrdiff_t>(y - area.top) * pitch +
               static_cast<std::ptrdiff_t>(x - area.left) * format->bytesPerPixel;
    }
};

// An off-screen surface of the display's format: rows of bytes per pixel x
// width, padded to 4 bytes.
class OffscreenSurface {
public:
    OffscreenSurface(std::int32_t width, std::int32_t height, const PixelFormat& format);
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::int32_t pitch() const { return pitch_; }
    const PixelFormat& format() const { return format_; }
    std::uint8_t* row(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * pitch_; }
    const std::uint8_t* row(std::int32_t y) const { return pixels_.data() + static_cast<std::size_t>(y) * pitch_; }

private:
    std::int32_t width_, height_, pitch_;
    PixelFormat format_;
    std::vector<std::uint8_t> pixels_;
};

// Row length in bytes of `width` pixels of `bytesPerPixel`, padded to 4 bytes;
// -1 when it would not fit in 32 bits.
std::int32_t paddedRowBytes(std::int32_t width, int bytesPerPixel);

class Display {
public:
    virtual ~Display() = default;

    std::int32_t clientWidth() const { return clientWidth_; }
    std::int32_t clientHeight() const { return clientHeight_; }
    const Rect& view() const { return view_; }
    void setView(const Rect& view) { view_ = view; }
    const std::vector<DisplayOutput>& outputs() const { return outputs_; }
    // Rows per blit band; any height paints the same picture.
    std::int32_t bandHeight() const { return 64; }

    // Before each frame: rebuilds what a lost surface or a size change needs.
    // Must not run under a transition's step (the engine's frame mutex).
    virtual int check() { return 0; }
    virtual bool lock(std::vector<LockedOutput>& outputs) = 0;
    virtual void unlockAndPresent() = 0;
    virtual void waitForFrame() = 0;

    // Null when the size is refused (non-positive or too large).
    std::unique_ptr<OffscreenSurface> createOffscreen(std::int32_t width, std::int32_t height) const;
    // Copies `source` of the surface to `destination` of the window; sizes
    // must match (1 and nothing done otherwise); clipped to the window.
    virtual int blit(const OffscreenSurface& surface, const Rect& source, const Rect& destination) = 0;
    virtual int fillBlack(const Rect& rect) = 0;

protected:
    std::int32_t clientWidth_ = 0, clientHeight_ = 0;
    Rect view_;
    std::vector<DisplayOutput> outputs_;
};

// Places a picture of engine pixels (0x00RRGGBB, `width` x `height`, rows of
// `stride` pixels) in the middle of the client area (clamped at 0), writes it
// through lock and present, and paints the borders round it black with
// rectangles that reach 10000 pixels beyond the window. False when the lock
// gave nothing.
bool showCentred(Display& display, const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                 std::int32_t stride);

}  // namespace lv
