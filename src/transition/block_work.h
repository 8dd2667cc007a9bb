// The block kind's work surface: the outgoing picture with the incoming
// picture inside a few rectangles, at the same places. A push shows it
// turned round like a ring (the incoming picture's visible part is already
// where the outgoing picture's vanished part was), so a frame copies from
// one surface instead of from parts of two: the memory a frame touches is
// one picture and the window, not two pictures and the window.
//
//     BlockWork work;
//     work.reset(source, &output.format);                // the outgoing picture
//     work.hold({Rect{W - p, 0, p, H}});                 // the incoming one there
//     std::memcpy(target, work.at(x, y), n * work.bytesPerPixel());
//
// The surface is kept in the outputs' format when they all share one that
// FormattedRows keeps (24 or 32 bits), else as engine pixels (0x00RRGGBB,
// 4 bytes) that the writer converts. Rectangles that only grew since the last
// hold cost only what they gained; any other change restores the outgoing
// picture under the old ones first.
//
// The surface may be kept as two bands of columns, split at a column: each
// band's rows follow each other in memory, so a frame that reads the two
// halves of a row from different rows (a split push moving up and down)
// still reads each band front to back. A run of pixels never crosses the
// split: at(x, y) reaches the columns x ... bandEnd(x) - 1 of row y.
#pragma once

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "transition/formatted_rows.h"
#include "transition/surface.h"

namespace lv {

class BlockWork {
public:
    // The two pictures and their rows in a kept format, owned by the caller.
    struct Pictures {
        const Surface* outgoing = nullptr;
        const Surface* incoming = nullptr;
        FormattedRows* outgoingRows = nullptr;
        FormattedRows* incomingRows = nullptr;
    };

    // Starts over as the outgoing picture, in `format` (null or a format
    // that is not kept: engine pixels), in two bands split at `splitColumn`
    // (0 or the width or more: one band).
    void reset(const Pictures& pictures, const PixelFormat* format, std::int32_t splitColumn = 0);
    // The incoming picture inside these rectangles (window coordinates),
    // the outgoing picture elsewhere.
    void hold(const std::vector<Rect>& incoming);

    bool ready() const { return pictures_.outgoing != nullptr; }
    // The format code that rows are kept in; kUnsupported for engine pixels.
    int code() const { return code_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    // Pixel (x, y), 0 <= x < width, 0 <= y < height; the row's pixels from x
    // follow it up to bandEnd(x), and row y + 1 lies rowBytesAt(x) further.
    const std::uint8_t* at(std::int32_t x, std::int32_t y) const { return bytes() + offsetOf(x, y); }
    std::int32_t bandEnd(std::int32_t x) const { return x < split_ ? split_ : width_; }
    std::size_t rowBytesAt(std::int32_t x) const;

private:
    const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(storage_.data()); }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(storage_.data()); }
    std::size_t offsetOf(std::int32_t x, std::int32_t y) const;
    // Copies `area` of a picture into the same place of the work surface.
    void copyFrom(bool incoming, const Rect& area);

    Pictures pictures_;
    PixelFormat format_;  // a copy: the display's outputs may be rebuilt
    bool kept_ = false;
    int code_ = pixel_code::kUnsupported;
    int bytesPerPixel_ = 4;
    std::int32_t width_ = 0, height_ = 0;
    std::int32_t split_ = 0;  // the second band's first column; the width when there is one band
    std::vector<std::uint32_t> storage_;  // whole words, so engine pixels are aligned
    std::vector<Rect> held_;
};

}  // namespace lv
