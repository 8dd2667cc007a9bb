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
//     std::memcpy(target, work.row(y) + x * work.bytesPerPixel(), n * work.bytesPerPixel());
//
// The surface is kept in the outputs' format when they all share one that
// FormattedRows keeps (24 or 32 bits), else as engine pixels (0x00RRGGBB,
// 4 bytes) that the writer converts. Rectangles that only grew since the last
// hold cost only what they gained; any other change restores the outgoing
// picture under the old ones first.
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
    // that is not kept: engine pixels).
    void reset(const Pictures& pictures, const PixelFormat* format);
    // The incoming picture inside these rectangles (window coordinates),
    // the outgoing picture elsewhere.
    void hold(const std::vector<Rect>& incoming);

    bool ready() const { return pictures_.outgoing != nullptr; }
    // The format code that rows are kept in; kUnsupported for engine pixels.
    int code() const { return code_; }
    int bytesPerPixel() const { return bytesPerPixel_; }
    std::size_t rowBytes() const { return rowBytes_; }
    const std::uint8_t* row(std::int32_t y) const { return bytes() + rowBytes_ * static_cast<std::size_t>(y); }

private:
    const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(storage_.data()); }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(storage_.data()); }
    // Copies `area` of a picture into the same place of the work surface.
    void copyFrom(bool incoming, const Rect& area);

    Pictures pictures_;
    PixelFormat format_;  // a copy: the display's outputs may be rebuilt
    bool kept_ = false;
    int code_ = pixel_code::kUnsupported;
    int bytesPerPixel_ = 4;
    std::size_t rowBytes_ = 0;
    std::vector<std::uint32_t> storage_;  // whole words, so engine pixels are aligned
    std::vector<Rect> held_;
};

}  // namespace lv
